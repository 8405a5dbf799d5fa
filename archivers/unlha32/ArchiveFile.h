// Read-only random access to the archive file: positioned reads that never
// move a shared file offset, and the size taken once at open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

class ArchiveFile {
 public:
  ArchiveFile() = default;
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  // False when the path cannot be opened as a regular file; error() says why.
  bool open(const std::string& path);
  uint64_t size() const { return m_size; }
  const std::string& error() const { return m_error; }

  // Reads up to `size` bytes at `offset` (fewer at the end of the file).
  // Returns the count read, or -1 on a read error.
  int64_t readAt(uint64_t offset, void* buffer, size_t size) const;
  // Reads exactly `size` bytes at `offset`; false when the file ends first.
  bool readExact(uint64_t offset, size_t size, std::vector<uint8_t>& out) const;

 private:
  UniqueFd m_fd;
  uint64_t m_size = 0;
  std::string m_error;
};

}  // namespace rkarc
