// Stored members; see ArjStoredDecoder.h.
#include "archivers/unarj32j/ArjStoredDecoder.h"

#include <algorithm>
#include <vector>

#include "archivers/common/ResultCodes.h"

namespace rkarc {

ArjStoredDecoder::ArjStoredDecoder(ArjFile& file, const ArjHeader& header)
    : m_file(file), m_next(header.dataOffset), m_left(header.originalSize) {
  if (header.compressedSize != header.originalSize)
    fail(kErrDamaged, "ARJヘッダが壊れています（格納サイズが一致しません）");
}

bool ArjStoredDecoder::decode(const Output& output) {
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(m_left, 256 * 1024)));
  while (failure() == 0 && m_left > 0) {
    const auto n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), m_left));
    const int64_t read = m_file.readAt(m_next, buffer.data(), n);
    if (read < 0) {
      fail(kErrArchiveOpen, m_file.error());
      break;
    }
    const auto got = static_cast<size_t>(read);
    if (got < n) {
      fail(kErrDamaged, "データが途中で切れています");
      break;
    }
    if (!output(buffer.data(), got)) return false;
    m_next += got;
    m_left -= got;
  }
  return failure() == 0;
}

}  // namespace rkarc
