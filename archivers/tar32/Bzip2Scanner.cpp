// Finding bzip2's block and end-of-stream magics; see Bzip2Scanner.h.
#include "archivers/tar32/Bzip2Scanner.h"

#include <cstring>

namespace rkarc::tar {
namespace {

constexpr uint64_t kBlockMagic = 0x314159265359, kEndMagic = 0x177245385090;
constexpr uint64_t kMask48 = 0xFFFFFFFFFFFF;
constexpr size_t kChunk = 256 * 1024;  // a multiple of 4
constexpr size_t kAhead = 8;  // bytes past a chunk that its last positions need

uint64_t LoadBigEndian64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return __builtin_bswap64(v);
}

// A magic at bit `shift` of byte i covers bytes i+1 to i+5 whole, so one of
// those pairs of bytes that begins at a multiple of 4 is always among the 64
// pairs this filter marks (2 magics x 8 shifts x 4 places): only those
// places are looked at more closely.
struct Filter {
  std::array<uint64_t, 65536 / 64> pairs{};
  Filter() {
    for (const uint64_t magic : {kBlockMagic, kEndMagic})
      for (int shift = 0; shift < 8; ++shift)
        for (int at = 1; at <= 4; ++at) {
          const uint64_t window = magic << (16 - shift);
          const auto pair = static_cast<unsigned>((window >> (48 - 8 * at)) & 0xFFFF);
          pairs[pair / 64] |= uint64_t{1} << (pair % 64);
        }
  }
  bool marks(unsigned pair) const { return pairs[pair / 64] >> (pair % 64) & 1; }
};

const Filter& TheFilter() {
  static const Filter filter;
  return filter;
}

}  // namespace

Bzip2Scanner::Bzip2Scanner(const InputFile& file) : m_file(file), m_chunk(kChunk + kAhead) {}

bool Bzip2Scanner::next(Mark& mark) {
  while (m_marks.empty()) {
    if (!scanChunk()) return false;
  }
  mark = m_marks.front();
  m_marks.pop_front();
  return true;
}

bool Bzip2Scanner::scanChunk() {
  if (m_readFailed || m_offset >= m_file.size()) return false;
  const int64_t got = m_file.readAt(m_offset, m_chunk.data(), m_chunk.size());
  if (got < 0) {
    m_readFailed = true;
    return false;
  }
  const size_t have = static_cast<size_t>(got);
  std::memset(m_chunk.data() + have, 0, m_chunk.size() - have);
  // Magics starting in this chunk's bytes; the last kAhead bytes are the
  // next chunk's, read again then.
  const size_t starts = have == m_chunk.size() ? kChunk : have;
  const uint64_t fileBits = m_file.size() * 8;
  const Filter& filter = TheFilter();
  const uint8_t* p = m_chunk.data();
  for (size_t pair = 4; pair < starts + 4; pair += 4) {
    if (!filter.marks(static_cast<unsigned>(p[pair]) << 8 | p[pair + 1])) continue;
    for (size_t i = pair - 4; i < pair && i < starts; ++i) {
      const uint64_t window = LoadBigEndian64(p + i);
      for (int shift = 0; shift < 8; ++shift) {
        const uint64_t bits = (window >> (16 - shift)) & kMask48;
        if ((m_offset + i) * 8 + static_cast<uint64_t>(shift) + 48 > fileBits) break;
        if (bits == kBlockMagic || bits == kEndMagic) found(m_offset + i, shift, bits == kEndMagic);
      }
    }
  }
  m_offset += starts;
  return true;
}

void Bzip2Scanner::found(uint64_t byte, int shift, bool end) {
  // A block magic right after a stream header starts a stream of that level.
  if (!end && shift == 0 && byte >= 4) {
    unsigned char header[4];
    if (m_file.readExact(byte - 4, header, 4) && std::memcmp(header, "BZh", 3) == 0 && header[3] >= '1' &&
        header[3] <= '9')
      m_level = header[3] - '0';
  }
  m_marks.push_back({byte * 8 + static_cast<uint64_t>(shift), end, m_level});
}

}  // namespace rkarc::tar
