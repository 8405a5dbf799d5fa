// Stored members; see ArjStoredDecoder.h.
#include "archivers/unarj32j/ArjStoredDecoder.h"

#include <algorithm>

#include "archivers/common/ResultCodes.h"

namespace rkarc {

ArjStoredDecoder::ArjStoredDecoder(ArjFile& file, const ArjHeader& header)
    : m_file(file), m_next(header.dataOffset), m_left(header.originalSize) {
  if (header.compressedSize != header.originalSize)
    fail(kErrDamaged, "ARJヘッダが壊れています（格納サイズが一致しません）");
}

size_t ArjStoredDecoder::read(uint8_t* out, size_t n) {
  if (failure() != 0) return 0;
  n = static_cast<size_t>(std::min<uint64_t>(n, m_left));
  const int64_t read = m_file.readAt(m_next, out, n);
  const size_t got = read < 0 ? 0 : static_cast<size_t>(read);
  if (read < 0) fail(kErrArchiveOpen, m_file.error());
  else if (got < n) fail(kErrDamaged, "データが途中で切れています");
  m_next += got;
  m_left -= got;
  return got;
}

}  // namespace rkarc
