// Opening an archive for reading and reading it at an offset, the same for
// every module: only a regular file is taken (a FIFO or a device could block
// or never end), and the open itself never waits for a FIFO's writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

struct RegularFile {
  UniqueFd fd;  // not valid when the open failed
  uint64_t size = 0;
  // Why the open failed: errno of open(), EISDIR for a folder, EINVAL for
  // anything else that is not a regular file; 0 on success.
  int error = 0;
};

RegularFile OpenRegularFile(const std::string& path);

// Reads up to n bytes at offset, again after an interruption or a short read;
// fewer only where the file ends (it may have shrunk meanwhile). -1 on a read
// error, with errno telling why.
int64_t ReadAt(int fd, uint64_t offset, void* buffer, size_t n);

// The report lines of every module for an archive that cannot be opened
// (`error` as OpenRegularFile gives it) or read (errno of the read).
std::string OpenFailureText(int error);
std::string ReadFailureText(int error);

}  // namespace rkarc
