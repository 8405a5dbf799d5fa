// See MountNamespace.h.
#include "tests/support/MountNamespace.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace testing_support {

namespace {

constexpr int kSetupRefused = 77;

// Starts `program` with `arguments` followed by this executable and the
// current test's filter, in the environment with `environment` added.
void RunThisTestUnder(QProcess& child, const QString& program, const QStringList& arguments,
                      const QStringList& environment) {
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const QString filter = QString("%1.%2").arg(info->test_suite_name(), info->name());
  const QString self = QFileInfo("/proc/self/exe").symLinkTarget();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& entry : environment) {
    const qsizetype eq = entry.indexOf('=');
    env.insert(entry.left(eq), entry.mid(eq + 1));
  }
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(program, arguments + QStringList{self, filter});
}

}  // namespace

bool InMountNamespace() { return qEnvironmentVariableIsSet("RUKASU2_IN_NAMESPACE"); }

void RunTestInMountNamespace(const QString& setup, const QStringList& environment, const QString& teardown) {
  QProcess child;
  const QString run = teardown.isEmpty() ? QStringLiteral("exec \"$0\" --gtest_filter=\"$1\"")
                                         : "\"$0\" --gtest_filter=\"$1\"; rc=$?; { " + teardown + "; } >/dev/null 2>&1; exit $rc";
  const QString script = "{ " + setup + "; } >/dev/null 2>&1 || exit " + QString::number(kSetupRefused) + "; " + run;
  RunThisTestUnder(child, "unshare", {"-m", "--propagation", "private", "sh", "-c", script},
                   environment + QStringList{"RUKASU2_IN_NAMESPACE=1"});
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

bool PermissionBitsHold() { return ::geteuid() != 0 || qEnvironmentVariableIsSet("RUKASU2_NO_OVERRIDE"); }

void RunTestWithoutOverride() {
  QProcess child;
  const QString script = "exec \"$0\" --gtest_filter=\"$1\"";
  RunThisTestUnder(child, "setpriv",
                   {"--bounding-set=-dac_override,-dac_read_search", "--inh-caps=-all", "sh", "-c", script},
                   {"RUKASU2_NO_OVERRIDE=1"});
  if (!child.waitForStarted(10000)) GTEST_SKIP() << "setpriv (util-linux) is not available";
  child.waitForFinished(600000);
  const QByteArray output = child.readAll();
  // setpriv fails before the test starts where capabilities cannot be dropped (a container).
  if (child.exitCode() != 0 && output.startsWith("setpriv:"))
    GTEST_SKIP() << "setpriv is refused here: " << output.constData();
  EXPECT_TRUE(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
      << "the test failed without the permission override:\n" << output.constData();
}

}  // namespace testing_support
