// Output folders for fault tests: a real full disk (a 1 MiB tmpfs), a real
// read-only destination (a read-only bind mount), a system without /proc, or
// a file system as plain as a USB stick's (exFAT),
// made inside a private mount namespace by running the calling test again there.
#pragma once

#include <string>

namespace testing_support {

enum class FaultMount {
  TinyTmpfs,     // writing past 1 MiB gives ENOSPC
  ReadOnlyBind,  // writing gives EROFS
  HiddenProc,    // an ordinary folder, with an empty tmpfs over /proc
  EmptyProcFd,   // an ordinary folder; /proc/self/fd of the test is an empty tmpfs
  ExFat,         // exFAT through FUSE: no hard links (EPERM), no O_TMPFILE, no holes
};

// In the test process: makes a folder, runs the calling test again inside a
// mount namespace where `mount` covers that folder (or skips the test when
// mounting is refused) and returns an empty string: the caller returns.
// In that child: returns the folder, where the test does its work.
std::string FaultFolder(FaultMount mount);

}  // namespace testing_support
