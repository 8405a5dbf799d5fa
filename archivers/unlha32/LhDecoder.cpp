// The -lh4- to -lh7- decoder; see LhDecoder.h. Block layout and code-length
// coding as in docs/formats/LZH.md: per block a 16-bit token count, the lengths of
// the code-length code (19 symbols), of the literal/length code (510) and of
// the position code (14 to 17).
#include "archivers/unlha32/LhDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "archivers/common/CanonicalCode.h"
#include "archivers/unlha32/Crc16.h"

namespace rkarc {
namespace {

constexpr int kNc = 510;  // 256 literals and the match lengths 3 to 256
constexpr int kNt = 19;
constexpr int kMaxCodeLength = 16;
constexpr uint32_t kRingBits = 17;  // twice the largest window: one half written while the other is output
constexpr uint32_t kRingMask = (1u << kRingBits) - 1;
constexpr uint32_t kFlushSize = 1u << 16;

// MSB-first bits of the member's compressed data, read from the file in
// 64 KB blocks. Past the data's end it yields zero bits and counts them.
class BitInput {
 public:
  BitInput(const ArchiveFile& file, uint64_t begin, uint64_t end, const LzhDecoder::Position& position)
      : m_file(file), m_offset(begin), m_end(end), m_position(position) {
    refill();
  }

  uint32_t peek16() const { return static_cast<uint32_t>(m_bits >> 48); }
  void skip(int n) {  // n <= 32
    m_bits <<= n;
    m_count -= n;
    if (m_count <= 32) refill();
  }
  uint32_t get(int n) {  // n <= 16
    if (n == 0) return 0;
    const auto v = static_cast<uint32_t>(m_bits >> (64 - n));
    skip(n);
    return v;
  }
  // More than a few bytes beyond the data were needed: the data is cut or damaged.
  bool overrun() const { return m_zeroBytes > 8; }
  bool readError() const { return m_readError; }

 private:
  void refill() {
    while (m_count <= 56) {
      if (m_next == m_last && !fillBlock()) {
        ++m_zeroBytes;
      } else {
        m_bits |= static_cast<uint64_t>(*m_next++) << (56 - m_count);
      }
      m_count += 8;
    }
  }
  bool fillBlock() {
    if (m_offset >= m_end || m_readError) return false;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(m_block.size(), m_end - m_offset));
    const int64_t n = m_file.readAt(m_offset, m_block.data(), want);
    if (n <= 0) {
      m_readError = n < 0;
      m_offset = m_end;
      return false;
    }
    m_offset += static_cast<uint64_t>(n);
    m_next = m_block.data();
    m_last = m_next + n;
    if (m_position) m_position(m_offset);
    return true;
  }

  const ArchiveFile& m_file;
  uint64_t m_offset;
  uint64_t m_end;
  const LzhDecoder::Position& m_position;
  std::vector<uint8_t> m_block = std::vector<uint8_t>(64 * 1024);
  const uint8_t* m_next = nullptr;
  const uint8_t* m_last = nullptr;
  uint64_t m_bits = 0;  // left-aligned
  int m_count = 0;
  uint32_t m_zeroBytes = 0;
  bool m_readError = false;
};

// The next symbol of `code`, or -1 for a bit pattern that is no code.
template <int kBits>
int NextSymbol(const CanonicalCode<kBits>& code, BitInput& in) {
  const auto [symbol, length] = code.match(in.peek16());
  if (symbol >= 0) in.skip(length);
  return symbol;
}

// The code lengths of the code-length code or of the position code.
template <int kBits>
bool ReadShortLengths(BitInput& in, int symbols, int countBits, int special, CanonicalCode<kBits>& table) {
  std::array<uint8_t, 32> lengths{};
  const int n = static_cast<int>(in.get(countBits));
  if (n == 0) {
    const int only = static_cast<int>(in.get(countBits));
    if (only >= symbols) return false;
    table.single(only);
    return true;
  }
  if (n > symbols) return false;
  int i = 0;
  while (i < n) {
    int len = static_cast<int>(in.peek16() >> 13);
    if (len == 7) {  // 7 and up: "111" then one more per 1 bit, ended by a 0 bit
      for (uint32_t mask = 1u << 12; (in.peek16() & mask) != 0 && mask != 0; mask >>= 1) ++len;
    }
    in.skip(len < 7 ? 3 : len - 3);
    if (len > kMaxCodeLength) return false;
    lengths[i++] = static_cast<uint8_t>(len);
    if (i == special) {
      for (uint32_t zeros = in.get(2); zeros > 0 && i < symbols; --zeros) lengths[i++] = 0;
    }
  }
  return table.build(lengths.data(), symbols, false);
}

bool ReadLiteralLengths(BitInput& in, const CanonicalCode<8>& lengthCode, CanonicalCode<12>& table) {
  std::array<uint8_t, kNc> lengths{};
  const int n = static_cast<int>(in.get(9));
  if (n == 0) {
    const int only = static_cast<int>(in.get(9));
    if (only >= kNc) return false;
    table.single(only);
    return true;
  }
  if (n > kNc) return false;
  int i = 0;
  while (i < n) {
    const int c = NextSymbol(lengthCode, in);
    if (c < 0) return false;
    if (c > 2) {
      lengths[i++] = static_cast<uint8_t>(c - 2);
      continue;
    }
    // 0, 1 and 2 are runs of unused symbols: 1, 3-18 and 20-531 of them.
    const uint32_t run = c == 0 ? 1 : c == 1 ? in.get(4) + 3 : in.get(9) + 20;
    i = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(i) + run, kNc));
  }
  return table.build(lengths.data(), kNc, false);
}

// The decoding state of one member.
struct Lh {
  Lh(const ArchiveFile& file, const LzhHeader& header, int symbols, const LzhDecoder::Position& position)
      : in(file, header.dataOffset(), header.endOffset(), position),
        positionSymbols(symbols),
        positionBits(symbols <= 14 ? 4 : 5) {}

  BitInput in;
  int positionSymbols;
  int positionBits;
  CanonicalCode<8> lengthCode;  // the code-length code
  CanonicalCode<8> positions;
  CanonicalCode<12> literals;
  uint32_t blockLeft = 0;

  bool startBlock() {
    while (blockLeft == 0) {  // a block of no tokens is followed by another one
      if (in.overrun()) return false;
      blockLeft = in.get(16);
      if (!ReadShortLengths(in, kNt, 5, 3, lengthCode) || !ReadLiteralLengths(in, lengthCode, literals) ||
          !ReadShortLengths(in, positionSymbols, positionBits, -1, positions))
        return false;
    }
    return true;
  }
};

}  // namespace

int LhDecoder::WindowBits(std::string_view method) {
  if (method == "-lh4-") return 12;
  if (method == "-lh5-") return 13;
  if (method == "-lh6-") return 15;
  if (method == "-lh7-") return 16;
  return 0;
}

LzhDecoder::Result LhDecoder::Decode(const ArchiveFile& file, const LzhHeader& header, int windowBits,
                                     const LzhDecoder::Output& output, const LzhDecoder::Position& position) {
  using Result = LzhDecoder::Result;
  const int symbols = std::max(windowBits + 1, 14);  // -lh4- shares -lh5-'s position code
  const auto lh = std::make_unique<Lh>(file, header, symbols, position);
  // Distances reaching before the first byte read spaces, as every LHA does.
  std::vector<uint8_t> ring(kRingMask + 1, ' ');
  Crc16 crc;
  uint64_t produced = 0, flushed = 0;
  const uint64_t total = header.originalSize;
  bool damaged = false;
  const auto flush = [&](uint64_t upTo) {
    while (flushed < upTo) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(upTo - flushed, kFlushSize - (flushed % kFlushSize)));
      const uint8_t* data = ring.data() + (flushed & kRingMask);
      crc.update(data, n);
      if (!output(data, n)) return false;
      flushed += n;
    }
    return true;
  };
  while (produced < total) {
    if (lh->blockLeft == 0 && !lh->startBlock()) {
      damaged = true;
      break;
    }
    --lh->blockLeft;
    const int c = NextSymbol(lh->literals, lh->in);
    if (c < 0 || lh->in.overrun()) {
      damaged = true;
      break;
    }
    if (c < 256) {
      ring[produced++ & kRingMask] = static_cast<uint8_t>(c);
    } else {
      const int p = NextSymbol(lh->positions, lh->in);
      if (p < 0) {
        damaged = true;
        break;
      }
      const uint32_t distance = (p == 0 ? 0 : (1u << (p - 1)) + lh->in.get(p - 1)) + 1;
      const uint64_t length = std::min<uint64_t>(static_cast<uint64_t>(c - 256 + 3), total - produced);
      for (uint64_t k = 0; k < length; ++k, ++produced)
        ring[produced & kRingMask] = ring[(produced - distance) & kRingMask];
    }
    if (produced - flushed >= kFlushSize && !flush(flushed + kFlushSize)) return Result::OutputFailed;
  }
  if (lh->in.readError()) return Result::ReadError;
  if (!flush(produced)) return Result::OutputFailed;
  if (damaged || produced < total) return header.endOffset() > file.size() ? Result::Truncated : Result::Damaged;
  if (header.hasCrc && crc.value() != header.crc) return Result::CrcMismatch;
  return Result::Ok;
}

}  // namespace rkarc
