// A window [base, end) of an archive file handed to libarchive through its
// read, skip and seek callbacks. An archive found behind an executable stub
// then reads as if it began at offset 0, and seeks (ZIP, RAR5) stay inside.
#pragma once

#include <archive.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archivers/common/Module.h"
#include "archivers/libarchive/InputFile.h"

namespace rkarc {

class ArchiveWindow {
 public:
  // `progress` (may be null) hears how far into the file reading has come.
  ArchiveWindow(const InputFile& file, uint64_t base, uint64_t end, Progress* progress);
  ArchiveWindow(const ArchiveWindow&) = delete;
  ArchiveWindow& operator=(const ArchiveWindow&) = delete;

  // Bytes that libarchive reads after the window's end, as if the file held
  // them there: a clean end record in place of a damaged or far-away one.
  void setTail(std::vector<unsigned char> tail) { m_tail = std::move(tail); }
  // Bytes that libarchive reads in place of the window's first `replaced`
  // bytes: a header rewritten into a form libarchive reads.
  void setHead(std::vector<unsigned char> head, uint64_t replaced) {
    m_head = std::move(head);
    m_replaced = std::min(replaced, m_end - m_base);
  }

  // Installs the callbacks (seek too when `seekable`) and opens `a`.
  int open(archive* a, bool seekable);
  // The same over several windows that libarchive reads one after the other,
  // as the volumes of a set; progress then counts over all of them.
  static int OpenChain(archive* a, const std::vector<ArchiveWindow*>& windows, bool seekable);

 private:
  static la_ssize_t Read(archive* a, void* self, const void** buffer);
  static la_int64_t Skip(archive* a, void* self, la_int64_t request);
  static la_int64_t Seek(archive* a, void* self, la_int64_t offset, int whence);
  void reportProgress();
  uint64_t span() const { return m_head.size() + (m_end - m_base - m_replaced); }  // before the tail
  uint64_t size() const { return span() + m_tail.size(); }

  const InputFile& m_file;
  uint64_t m_base;
  uint64_t m_end;
  uint64_t m_pos = 0;  // relative to m_base
  uint64_t m_furthest = 0;
  uint64_t m_before = 0;  // progress: bytes of the windows before this one in a chain
  uint64_t m_total = 0;   // progress: bytes of all windows of a chain, 0 alone
  Progress* m_progress;
  std::vector<char> m_buffer;
  std::vector<unsigned char> m_tail;
  std::vector<unsigned char> m_head;
  uint64_t m_replaced = 0;
};

}  // namespace rkarc
