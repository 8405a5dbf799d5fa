// Reading an archive file; see InputFile.h.
#include "archivers/libarchive/InputFile.h"

#include "archivers/common/RegularFile.h"

namespace rkarc {

InputFile::InputFile(const std::string& path) {
  RegularFile file = OpenRegularFile(path);
  m_fd = std::move(file.fd);
  m_size = file.size;
  m_error = file.error;
}

int64_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  return ReadAt(m_fd.get(), offset, buffer, n);
}

bool InputFile::readExact(uint64_t offset, void* buffer, size_t n) const {
  return readAt(offset, buffer, n) == static_cast<int64_t>(n);
}

}  // namespace rkarc
