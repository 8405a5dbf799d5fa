// Offset-based reading of the archive file; see ArjFile.h.
#include "archivers/unarj32j/ArjFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rkarc {

ArjFile::~ArjFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool ArjFile::open(const std::string& path) {
  m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (m_fd < 0) {
    m_error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  // Only a regular file has a size to trust; a FIFO or device could block or never end.
  if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    m_error = "通常のファイルではありません";
    ::close(m_fd);
    m_fd = -1;
    return false;
  }
  m_size = static_cast<uint64_t>(st.st_size);
  return true;
}

size_t ArjFile::readSome(uint64_t offset, void* buffer, size_t n) {
  if (m_fd < 0 || offset >= m_size) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, m_size - offset));
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(m_fd, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      m_ioError = true;
      m_error = std::strerror(errno);
      break;
    }
    if (got == 0) break;  // the file shrank while we read it
    done += static_cast<size_t>(got);
  }
  m_furthest = std::max(m_furthest, offset + done);
  return done;
}

bool ArjFile::readAt(uint64_t offset, void* buffer, size_t n) {
  return readSome(offset, buffer, n) == n;
}

}  // namespace rkarc
