// Positioned reads on a file descriptor; see ArchiveFile.h.
#include "archivers/unlha32/ArchiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rkarc {

ArchiveFile::~ArchiveFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool ArchiveFile::open(const std::string& path) {
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (m_fd < 0) {
    m_error = std::strerror(errno);
    return false;
  }
  struct stat st{};
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    m_error = S_ISDIR(st.st_mode) ? "フォルダです" : "通常のファイルではありません";
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  m_size = static_cast<uint64_t>(st.st_size);
  return true;
}

int64_t ArchiveFile::readAt(uint64_t offset, void* buffer, size_t size) const {
  if (m_fd < 0) return -1;
  if (offset >= m_size) return 0;
  if (size > m_size - offset) size = static_cast<size_t>(m_size - offset);
  size_t done = 0;
  auto* out = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t n = ::pread(m_fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool ArchiveFile::readExact(uint64_t offset, size_t size, std::vector<uint8_t>& out) const {
  out.resize(size);
  return readAt(offset, out.data(), size) == static_cast<int64_t>(size);
}

}  // namespace rkarc
