// What a failed system call means for an extraction: the result code, whether
// the whole run must stop, and the short reason for the report.
#pragma once

#include <cstdint>
#include <string>

namespace rkarc {

struct WriteFailure {
  int32_t code = 0;
  std::string reason;

  bool failed() const { return code != 0; }
  // Disk full and an unwritable destination end the whole run.
  bool stopsRun() const;

  // ENOSPC/EDQUOT/EFBIG: disk full; EROFS/EACCES/EPERM: not writable; others: kErrWrite.
  static WriteFailure FromErrno(int err);
};

}  // namespace rkarc
