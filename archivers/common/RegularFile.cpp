// See RegularFile.h.
#include "archivers/common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rkarc {

RegularFile OpenRegularFile(const std::string& path) {
  RegularFile file;
  file.fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!file.fd.valid()) {
    file.error = errno;
    return file;
  }
  struct stat st {};
  if (::fstat(file.fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    file.error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    file.fd.reset();
    return file;
  }
  // O_NONBLOCK only kept the open from waiting; reads of a regular file block as usual.
  const int flags = ::fcntl(file.fd.get(), F_GETFL);
  if (flags >= 0) ::fcntl(file.fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  file.size = static_cast<uint64_t>(st.st_size);
  return file;
}

int64_t ReadAt(int fd, uint64_t offset, void* buffer, size_t n) {
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

std::string OpenFailureText(int error) {
  const std::string why = error == EISDIR   ? "フォルダです"
                          : error == EINVAL ? "通常のファイルではありません"
                                            : std::strerror(error);
  return "書庫を開けません（" + why + "）";
}

std::string ReadFailureText(int error) { return "書庫を読めません（" + std::string(std::strerror(error)) + "）"; }

}  // namespace rkarc
