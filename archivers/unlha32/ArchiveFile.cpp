// Positioned reads on a file descriptor; see ArchiveFile.h.
#include "archivers/unlha32/ArchiveFile.h"

#include <cerrno>
#include <cstring>

#include "archivers/common/RegularFile.h"

namespace rkarc {

bool ArchiveFile::open(const std::string& path) {
  RegularFile file = OpenRegularFile(path);
  if (!file.fd.valid()) {
    m_error = file.error == EISDIR   ? "フォルダです"
              : file.error == EINVAL ? "通常のファイルではありません"
                                     : std::strerror(file.error);
    return false;
  }
  m_fd = std::move(file.fd);
  m_size = file.size;
  return true;
}

int64_t ArchiveFile::readAt(uint64_t offset, void* buffer, size_t size) const {
  if (!m_fd.valid()) return -1;
  if (offset >= m_size) return 0;
  if (size > m_size - offset) size = static_cast<size_t>(m_size - offset);
  return ReadAt(m_fd.get(), offset, buffer, size);
}

bool ArchiveFile::readExact(uint64_t offset, size_t size, std::vector<uint8_t>& out) const {
  out.resize(size);
  return readAt(offset, out.data(), size) == static_cast<int64_t>(size);
}

}  // namespace rkarc
