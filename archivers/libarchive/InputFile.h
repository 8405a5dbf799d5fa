// An archive file opened for reading: its descriptor, its size, and reads at
// an offset. Modules parse headers with it before libarchive sees the file.
// A split file (name.001, name.002 ...) reads as one from its first part.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/common/PartedFile.h"

namespace rkarc {

class InputFile {
 public:
  // Opens a regular file; ok() is false otherwise and error() gives errno
  // (see OpenRegularFile).
  explicit InputFile(const std::string& path);

  bool ok() const { return m_ok; }
  int error() const { return m_file.error(); }
  int fd() const { return m_file.fd(); }  // of the first part
  uint64_t size() const { return m_file.size(); }
  const PartedFile& parts() const { return m_file; }

  // Reads up to `n` bytes at `offset`; fewer only at the end of the file.
  // Returns the count, or -1 on a read error.
  int64_t readAt(uint64_t offset, void* buffer, size_t n) const;
  // Reads exactly `n` bytes at `offset`.
  bool readExact(uint64_t offset, void* buffer, size_t n) const;

 private:
  PartedFile m_file;
  bool m_ok = false;
};

}  // namespace rkarc
