// See IsolatedEnvironment.h.
#include "tests/support/IsolatedEnvironment.h"

#include <cstdlib>

#include <QDir>
#include <QTemporaryDir>

namespace testing_support {

void IsolateEnvironment() {
  static QTemporaryDir root(QDir::tempPath() + "/rukasu2-env-XXXXXX");
  const QString config = root.path() + "/config";
  const QString temp = root.path() + "/tmp";
  const QString data = root.path() + "/data";  // the home Trash of a deleted archive
  QDir().mkpath(config);
  QDir().mkpath(temp);
  setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);
  setenv("XDG_DATA_HOME", data.toLocal8Bit().constData(), 1);
  // Whatever a test leaves in the temporary folder goes with the process.
  setenv("TMPDIR", temp.toLocal8Bit().constData(), 1);
}

}  // namespace testing_support
