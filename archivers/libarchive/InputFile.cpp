// Reading an archive file; see InputFile.h.
#include "archivers/libarchive/InputFile.h"


namespace rkarc {

InputFile::InputFile(const std::string& path) : m_ok(m_file.open(path)) {}

int64_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) const { return m_file.readAt(offset, buffer, n); }

bool InputFile::readExact(uint64_t offset, void* buffer, size_t n) const {
  return readAt(offset, buffer, n) == static_cast<int64_t>(n);
}

}  // namespace rkarc
