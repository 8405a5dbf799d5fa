// Read-only access to an archive file by offset (pread), with the furthest
// offset read kept for progress reports. The ARJ reader's only way to the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

class ArjFile {
 public:
  ArjFile() = default;
  ArjFile(const ArjFile&) = delete;
  ArjFile& operator=(const ArjFile&) = delete;

  // False when the path cannot be opened as a regular file; error() says why.
  bool open(const std::string& path);
  bool isOpen() const { return m_fd.valid(); }
  uint64_t size() const { return m_size; }

  // Reads up to n bytes at offset; fewer only at the end of the file or after a
  // read error (ioError() then turns true).
  size_t readSome(uint64_t offset, void* buffer, size_t n);
  // Reads exactly n bytes at offset; false when the file ends first or a read fails.
  bool readAt(uint64_t offset, void* buffer, size_t n);

  bool ioError() const { return m_ioError; }
  const std::string& error() const { return m_error; }
  // The end of the furthest range read so far.
  uint64_t furthest() const { return m_furthest; }

 private:
  UniqueFd m_fd;
  uint64_t m_size = 0;
  uint64_t m_furthest = 0;
  bool m_ioError = false;
  std::string m_error;
};

}  // namespace rkarc
