// Runs the current test again in a child process where faults can be made:
// inside a private mount namespace after a shell script has prepared mounts
// there (a small tmpfs, a read-only bind mount ...), or without the
// capabilities that let root override permission bits.
#pragma once

#include <QString>
#include <QStringList>

namespace testing_support {

// True inside the mount namespace child (it sees RUKASU2_IN_NAMESPACE=1).
bool InMountNamespace();

// Runs `setup` (sh script) and then this test inside `unshare -m`, then
// `teardown` (for mounts with a process behind them, such as FUSE; it sees
// the setup's shell variables). Extra environment entries are "NAME=value".
// Skips the calling test with a message when the setup is refused (no
// unshare, no mount permission, a missing tool); otherwise expects the child to pass.
void RunTestInMountNamespace(const QString& setup, const QStringList& environment = {},
                             const QString& teardown = {});

// True where permission bits hold for this process: it is not root, or it is
// the child made by RunTestWithoutOverride.
bool PermissionBitsHold();
// Runs this test again without the capabilities that override permission
// bits (setpriv) and expects it to pass; skips it when that cannot be done.
void RunTestWithoutOverride();

}  // namespace testing_support

// Opens a test that needs permission bits to hold (a read-only file, an
// unwritable folder): as root, the test runs again in a child without the override.
#define RK_REQUIRE_PERMISSION_BITS()                                \
  do {                                                              \
    if (!::testing_support::PermissionBitsHold()) {                 \
      ::testing_support::RunTestWithoutOverride();                  \
      return;                                                       \
    }                                                               \
  } while (0)
