// Runs the current test again in a child process inside a private mount
// namespace, after a shell script has prepared mounts there (a small tmpfs, a
// read-only bind mount ...). The child sees RUKASU2_IN_NAMESPACE=1.
#pragma once

#include <QString>
#include <QStringList>

namespace testing_support {

// True inside the child.
bool InMountNamespace();

// Runs `setup` (sh script) and then this test inside `unshare -m`, then
// `teardown` (for mounts with a process behind them, such as FUSE; it sees
// the setup's shell variables). Extra environment entries are "NAME=value".
// Skips the calling test with a message when the setup is refused (no
// unshare, no mount permission, a missing tool); otherwise expects the child to pass.
void RunTestInMountNamespace(const QString& setup, const QStringList& environment = {},
                             const QString& teardown = {});

}  // namespace testing_support
