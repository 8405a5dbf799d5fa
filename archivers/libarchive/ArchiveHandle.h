// Owns a libarchive read handle for the length of one command.
#pragma once

#include <archive.h>

namespace rkarc {

class ArchiveHandle {
 public:
  ArchiveHandle() : m_archive(archive_read_new()) {}
  ~ArchiveHandle() {
    if (m_archive) archive_read_free(m_archive);
  }
  ArchiveHandle(const ArchiveHandle&) = delete;
  ArchiveHandle& operator=(const ArchiveHandle&) = delete;

  archive* get() const { return m_archive; }
  operator archive*() const { return m_archive; }

 private:
  archive* m_archive;
};

}  // namespace rkarc
