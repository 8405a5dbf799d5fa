// Positioned reads of an archive file; see ArchiveFile.h.
#include "archivers/common/ArchiveFile.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

#include "archivers/common/RegularFile.h"

namespace rkarc {

bool ArchiveFile::open(const std::string& path) {
  if (!m_file.open(path)) {
    m_error = OpenFailureText(m_file.error());
    return false;
  }
  return true;
}

bool ArchiveFile::openDuplicate(int fd, uint64_t size) {
  UniqueFd copy(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
  if (!copy.valid()) {
    m_error = ReadFailureText(errno);
    return false;
  }
  m_file.adopt(std::move(copy), size);
  return true;
}

int64_t ArchiveFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  if (!isOpen()) return -1;
  if (offset >= size()) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, size() - offset));
  const int64_t got = m_file.readAt(offset, buffer, n);
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
