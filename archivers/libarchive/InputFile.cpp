// Reading an archive file; see InputFile.h.
#include "archivers/libarchive/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rkarc {

InputFile::InputFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (!m_fd.valid()) {
    m_error = errno;
    return;
  }
  struct stat st {};
  if (fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    m_error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    m_fd.reset();
    return;
  }
  m_size = static_cast<uint64_t>(st.st_size);
}

int64_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  size_t done = 0;
  char* out = static_cast<char*>(buffer);
  while (done < n) {
    const ssize_t got = pread(m_fd.get(), out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

bool InputFile::readExact(uint64_t offset, void* buffer, size_t n) const {
  return readAt(offset, buffer, n) == static_cast<int64_t>(n);
}

}  // namespace rkarc
