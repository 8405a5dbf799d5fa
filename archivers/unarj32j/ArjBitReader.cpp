// MSB-first bit reading over a member's data range; see ArjBitReader.h.
#include "archivers/unarj32j/ArjBitReader.h"

#include <algorithm>

namespace rkarc {
namespace {
constexpr size_t kChunk = 64 * 1024;
}

ArjBitReader::ArjBitReader(ArjFile& file, uint64_t offset, uint64_t size)
    : m_file(file), m_next(offset), m_end(offset + size), m_size(size) {}

void ArjBitReader::refill() {
  while (m_count <= 56) {
    if (m_chunkPos == m_chunk.size()) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(kChunk, m_end - m_next));
      m_file.readAt(m_next, want, m_chunk);
      m_next += m_chunk.size();
      m_chunkPos = 0;
      if (m_chunk.empty()) {
        // Past the data (or a short read): zero bits from here on.
        m_count = 64;
        return;
      }
    }
    m_bits |= uint64_t{m_chunk[m_chunkPos++]} << (56 - m_count);
    m_count += 8;
  }
}

}  // namespace rkarc
