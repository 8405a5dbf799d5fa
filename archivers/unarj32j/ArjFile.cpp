// Offset-based reading of the archive file; see ArjFile.h.
#include "archivers/unarj32j/ArjFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archivers/common/RegularFile.h"

namespace rkarc {

bool ArjFile::open(const std::string& path) {
  RegularFile file = OpenRegularFile(path);
  if (!file.fd.valid()) {
    m_error = file.error == EISDIR || file.error == EINVAL ? "通常のファイルではありません" : std::strerror(file.error);
    return false;
  }
  m_fd = std::move(file.fd);
  m_size = file.size;
  return true;
}

size_t ArjFile::readSome(uint64_t offset, void* buffer, size_t n) {
  if (!m_fd.valid() || offset >= m_size) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, m_size - offset));
  const int64_t got = ReadAt(m_fd.get(), offset, buffer, n);
  if (got < 0) {
    m_ioError = true;
    m_error = std::strerror(errno);
    return 0;
  }
  const auto done = static_cast<size_t>(got);
  m_furthest = std::max(m_furthest, offset + done);
  return done;
}

bool ArjFile::readAt(uint64_t offset, void* buffer, size_t n) {
  return readSome(offset, buffer, n) == n;
}

}  // namespace rkarc
