// See IsolatedEnvironment.h.
#include "tests/support/IsolatedEnvironment.h"

#include <cstdlib>

#include <QDir>
#include <QTemporaryDir>

namespace testing_support {

void IsolateEnvironment() {
  static QTemporaryDir root(QDir::tempPath() + "/rukasu2-env-XXXXXX");
  const QString config = root.path() + "/config";
  QDir().mkpath(config);
  setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);
}

}  // namespace testing_support
