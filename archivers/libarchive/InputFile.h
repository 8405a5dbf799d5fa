// An archive file opened for reading: its descriptor, its size, and reads at
// an offset. Modules parse headers with it before libarchive sees the file.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

class InputFile {
 public:
  // Opens a regular file; ok() is false otherwise and error() gives errno
  // (see OpenRegularFile).
  explicit InputFile(const std::string& path);

  bool ok() const { return m_fd.valid(); }
  int error() const { return m_error; }
  int fd() const { return m_fd.get(); }
  uint64_t size() const { return m_size; }

  // Reads up to `n` bytes at `offset`; fewer only at the end of the file.
  // Returns the count, or -1 on a read error.
  int64_t readAt(uint64_t offset, void* buffer, size_t n) const;
  // Reads exactly `n` bytes at `offset`.
  bool readExact(uint64_t offset, void* buffer, size_t n) const;

 private:
  UniqueFd m_fd;
  uint64_t m_size = 0;
  int m_error = 0;
};

}  // namespace rkarc
