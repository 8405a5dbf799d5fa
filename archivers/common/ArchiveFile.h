// Read-only random access to an archive file for the modules' own readers:
// only a regular file is opened (RegularFile.h), reads at an offset never move
// a shared file position, and the size is taken once at open. A split file
// (name.001, name.002 ...) reads as one from its first part (PartedFile.h). Reads are
// const: a reader may hand the file to the parts that only look at it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/PartedFile.h"

namespace rkarc {

class ArchiveFile {
 public:
  ArchiveFile() = default;
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  // False when the path cannot be opened as a regular file; error() says why.
  bool open(const std::string& path);
  // Reads the file already open as `fd` (of `size` bytes) through a descriptor
  // of its own; false when it cannot be duplicated.
  bool openDuplicate(int fd, uint64_t size);
  bool isOpen() const { return m_file.fd() >= 0; }
  int fd() const { return m_file.fd(); }  // of the first part
  uint64_t size() const { return m_file.size(); }
  const PartedFile& parts() const { return m_file; }
  // Why open() or the last failed read failed, as a report line.
  const std::string& error() const { return m_error; }

  // Reads up to n bytes at offset: fewer only where the file ends. Returns
  // the count, or -1 on a read error (readFailed() then turns true).
  int64_t readAt(uint64_t offset, void* buffer, size_t n) const;
  // The same into `out`, resized to what was read; false on a read error.
  bool readAt(uint64_t offset, size_t n, std::vector<uint8_t>& out) const;
  // Reads exactly n bytes at offset; false when the file ends first or a read fails.
  bool readExact(uint64_t offset, void* buffer, size_t n) const;
  bool readExact(uint64_t offset, size_t n, std::vector<uint8_t>& out) const;

  // True after a read failed, rather than the file ending.
  bool readFailed() const { return m_readFailed; }
  // The end of the furthest range read so far, for progress reports.
  uint64_t furthest() const { return m_furthest; }

 private:
  PartedFile m_file;
  mutable std::string m_error;
  mutable bool m_readFailed = false;
  mutable uint64_t m_furthest = 0;
};

}  // namespace rkarc
