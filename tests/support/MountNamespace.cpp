// See MountNamespace.h.
#include "tests/support/MountNamespace.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace testing_support {

namespace {
constexpr int kSetupRefused = 77;
}

bool InMountNamespace() { return qEnvironmentVariableIsSet("RUKASU2_IN_NAMESPACE"); }

void RunTestInMountNamespace(const QString& setup, const QStringList& environment, const QString& teardown) {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QString("%1.%2").arg(info->test_suite_name(), info->name());
  const QString self = QFileInfo("/proc/self/exe").symLinkTarget();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("RUKASU2_IN_NAMESPACE", "1");
  for (const QString& entry : environment) {
    const qsizetype eq = entry.indexOf('=');
    env.insert(entry.left(eq), entry.mid(eq + 1));
  }
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  const QString run = teardown.isEmpty() ? QStringLiteral("exec \"$0\" --gtest_filter=\"$1\"")
                                         : "\"$0\" --gtest_filter=\"$1\"; rc=$?; { " + teardown + "; } >/dev/null 2>&1; exit $rc";
  const QString script = "{ " + setup + "; } >/dev/null 2>&1 || exit " + QString::number(kSetupRefused) + "; " + run;
  child.start("unshare", {"-m", "--propagation", "private", "sh", "-c", script, self, filter});
  if (!child.waitForStarted(10000)) GTEST_SKIP() << "unshare is not available";
  child.waitForFinished(600000);
  const QByteArray output = child.readAll();
  if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == kSetupRefused)
    GTEST_SKIP() << "a private mount namespace with these mounts cannot be made here";
  // unshare itself fails with 1 when namespaces are refused; tell that apart from a failing test.
  if (child.exitCode() == 1 && output.contains("unshare failed"))
    GTEST_SKIP() << "unshare is refused here: " << output.constData();
  EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
      << "the test failed inside the mount namespace:\n" << output.constData();
}

}  // namespace testing_support
