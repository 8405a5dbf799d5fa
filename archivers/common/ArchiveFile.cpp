// Positioned reads of an archive file; see ArchiveFile.h.
#include "archivers/common/ArchiveFile.h"

#include <algorithm>
#include <cerrno>

#include "archivers/common/RegularFile.h"

namespace rkarc {

bool ArchiveFile::open(const std::string& path) {
  RegularFile file = OpenRegularFile(path);
  if (!file.fd.valid()) {
    m_error = OpenFailureText(file.error);
    return false;
  }
  m_fd = std::move(file.fd);
  m_size = file.size;
  return true;
}

int64_t ArchiveFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  if (!m_fd.valid()) return -1;
  if (offset >= m_size) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, m_size - offset));
  const int64_t got = ReadAt(m_fd.get(), offset, buffer, n);
  if (got < 0) {
    m_readFailed = true;
    m_error = ReadFailureText(errno);
    return -1;
  }
  m_furthest = std::max(m_furthest, offset + static_cast<uint64_t>(got));
  return got;
}

bool ArchiveFile::readAt(uint64_t offset, size_t n, std::vector<uint8_t>& out) const {
  out.resize(n);
  const int64_t got = readAt(offset, out.data(), n);
  out.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return got >= 0;
}

bool ArchiveFile::readExact(uint64_t offset, void* buffer, size_t n) const {
  return readAt(offset, buffer, n) == static_cast<int64_t>(n);
}

bool ArchiveFile::readExact(uint64_t offset, size_t n, std::vector<uint8_t>& out) const {
  out.resize(n);
  return readExact(offset, out.data(), n);
}

}  // namespace rkarc
