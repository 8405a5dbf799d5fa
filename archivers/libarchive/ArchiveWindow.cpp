// libarchive callbacks over a window of the archive file; see ArchiveWindow.h.
#include "archivers/libarchive/ArchiveWindow.h"

#include <algorithm>
#include <cerrno>

namespace rkarc {
namespace {

constexpr size_t kBlock = 64 * 1024;

}  // namespace

ArchiveWindow::ArchiveWindow(const InputFile& file, uint64_t base, uint64_t end, Progress* progress)
    : m_file(file), m_base(base), m_end(std::max(base, end)), m_progress(progress), m_buffer(kBlock) {}

int ArchiveWindow::open(archive* a, bool seekable) { return OpenChain(a, {this}, seekable); }

int ArchiveWindow::OpenChain(archive* a, const std::vector<ArchiveWindow*>& windows, bool seekable) {
  if (windows.size() > 1) {
    uint64_t total = 0;
    for (ArchiveWindow* w : windows) total += w->m_end - w->m_base;
    uint64_t before = 0;
    for (ArchiveWindow* w : windows) {
      w->m_before = before;
      w->m_total = total;
      before += w->m_end - w->m_base;
    }
  }
  archive_read_set_read_callback(a, &ArchiveWindow::Read);
  archive_read_set_skip_callback(a, &ArchiveWindow::Skip);
  if (seekable) archive_read_set_seek_callback(a, &ArchiveWindow::Seek);
  archive_read_set_callback_data(a, windows.front());
  for (size_t i = 1; i < windows.size(); ++i) archive_read_append_callback_data(a, windows[i]);
  return archive_read_open1(a);
}

void ArchiveWindow::reportProgress() {
  m_furthest = std::max(m_furthest, m_pos);
  if (!m_progress) return;
  if (m_total > 0) {
    m_progress->update(m_before + m_furthest, m_total);
  } else {
    m_progress->update(m_base + m_furthest, m_file.size());
  }
}

la_ssize_t ArchiveWindow::Read(archive* a, void* self, const void** buffer) {
  auto* w = static_cast<ArchiveWindow*>(self);
  const uint64_t span = w->span();
  *buffer = w->m_buffer.data();
  if (w->m_pos < w->m_head.size()) {  // the head, before the file's bytes
    const size_t n = static_cast<size_t>(std::min<uint64_t>(w->m_head.size() - w->m_pos, w->m_buffer.size()));
    std::copy_n(w->m_head.begin() + static_cast<ptrdiff_t>(w->m_pos), n, w->m_buffer.begin());
    w->m_pos += n;
    return static_cast<la_ssize_t>(n);
  }
  if (w->m_pos >= span) {  // the tail, after the file's bytes
    const uint64_t at = std::min<uint64_t>(w->m_pos - span, w->m_tail.size());
    const size_t n = static_cast<size_t>(std::min<uint64_t>(w->m_tail.size() - at, w->m_buffer.size()));
    std::copy_n(w->m_tail.begin() + static_cast<ptrdiff_t>(at), n, w->m_buffer.begin());
    w->m_pos += n;
    return static_cast<la_ssize_t>(n);
  }
  const size_t want = static_cast<size_t>(std::min<uint64_t>(span - w->m_pos, w->m_buffer.size()));
  const int64_t got =
      w->m_file.readAt(w->m_base + w->m_replaced + (w->m_pos - w->m_head.size()), w->m_buffer.data(), want);
  if (got < 0) {
    archive_set_error(a, errno, "read error");
    return -1;
  }
  w->m_pos += static_cast<uint64_t>(got);
  w->reportProgress();
  return static_cast<la_ssize_t>(got);
}

la_int64_t ArchiveWindow::Skip(archive*, void* self, la_int64_t request) {
  auto* w = static_cast<ArchiveWindow*>(self);
  const uint64_t size = w->size();
  const uint64_t step = std::min<uint64_t>(static_cast<uint64_t>(std::max<la_int64_t>(request, 0)),
                                           size - std::min(w->m_pos, size));
  w->m_pos += step;
  w->reportProgress();
  return static_cast<la_int64_t>(step);
}

la_int64_t ArchiveWindow::Seek(archive*, void* self, la_int64_t offset, int whence) {
  auto* w = static_cast<ArchiveWindow*>(self);
  const auto size = static_cast<la_int64_t>(w->size());
  la_int64_t target = offset;
  if (whence == SEEK_CUR) target = static_cast<la_int64_t>(w->m_pos) + offset;
  if (whence == SEEK_END) target = size + offset;
  if (target < 0 || target > size) return ARCHIVE_FATAL;
  w->m_pos = static_cast<uint64_t>(target);
  return target;
}

}  // namespace rkarc
