// Runs part of a test in a forked child with a mount namespace of its own,
// where a 1 MiB tmpfs stands in for a full disk and a read-only bind mount for
// a destination that cannot be written. Nothing mounted there leaks out.
#pragma once

#include <functional>
#include <string>

namespace testing_support {

enum class SandboxMount {
  TinyTmpfs,      // a 1 MiB tmpfs on the folder: writing past it gives ENOSPC
  ReadOnlyBind,   // the folder bound onto itself read-only: writing gives EROFS
};

struct SandboxResult {
  std::string refused;  // why the sandbox could not be set up (skip the test), or empty
  std::string output;   // what the body returned
};

// Mounts `mount` on the existing `folder` inside the child, runs `body` there
// and hands back its text. Use no gtest assertions in `body`: they would not
// reach the parent; return what the parent should check instead.
SandboxResult RunInMountSandbox(const std::string& folder, SandboxMount mount,
                                const std::function<std::string()>& body);

}  // namespace testing_support
