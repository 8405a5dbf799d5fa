// Block headers and the token loop; see LhBlockDecoder.h.
#include "archivers/common/LhBlockDecoder.h"

#include <algorithm>
#include <array>

namespace rkarc {
namespace {

constexpr int kLiteralSymbols = 510;
constexpr int kLengthSymbols = 19;
constexpr int kLengthCountBits = 5;
constexpr int kLiteralCountBits = 9;
constexpr int kMinMatch = 3;

// The next symbol of `code`, or -1 for a bit pattern that is no code.
template <int kBits>
int NextSymbol(const CanonicalCode<kBits>& code, MsbBitReader& in) {
  const auto [symbol, length] = code.match(in.peek16());
  if (symbol >= 0) in.skip(length);
  return symbol;
}

}  // namespace

bool LhBlockDecoder::startBlock(MsbBitReader& in) {
  while (m_blockLeft == 0) {
    if (in.overrun()) return false;
    m_blockLeft = in.get(16);
    if (m_blockLeft == 0 && m_rules.strict) return false;
    if (!readShortLengths(in, kLengthSymbols, kLengthCountBits, 3, m_lengthCode) || !readLiteralLengths(in) ||
        !readShortLengths(in, m_rules.positionSymbols, m_rules.positionCountBits, -1, m_positions))
      return false;
  }
  return true;
}

// The code lengths of the code-length code or of the position code: a
// count, then each length in 3 bits, 7 and up continued by one 1 bit per step
// and ended by a 0 bit; after the third length of the code-length code, 2 bits
// count unused symbols.
bool LhBlockDecoder::readShortLengths(MsbBitReader& in, int symbols, int countBits, int zeroRunAfter,
                                      CanonicalCode<8>& code) {
  const int n = static_cast<int>(in.get(countBits));
  if (n == 0) {
    const int only = static_cast<int>(in.get(countBits));
    if (only >= symbols) return false;
    code.single(only);
    return true;
  }
  if (n > symbols) return false;
  std::array<uint8_t, 32> lengths{};
  int i = 0;
  while (i < n) {
    int length = static_cast<int>(in.peek16() >> 13);
    if (length == 7) {
      for (uint32_t mask = 1u << 12; (in.peek16() & mask) != 0 && mask != 0; mask >>= 1) ++length;
    }
    in.skip(length < 7 ? 3 : length - 3);
    if (length > CanonicalCode<8>::kMaxLength) return false;
    lengths[static_cast<size_t>(i++)] = static_cast<uint8_t>(length);
    if (i == zeroRunAfter) {
      for (uint32_t zeros = in.get(2); zeros > 0 && i < symbols; --zeros) lengths[static_cast<size_t>(i++)] = 0;
    }
  }
  return code.build(lengths.data(), symbols, m_rules.strict);
}

// The literal/length code's lengths, coded with the code-length code:
// symbols 0, 1 and 2 are runs of 1, 3-18 and 20-531 unused symbols, the
// others a length plus 2.
bool LhBlockDecoder::readLiteralLengths(MsbBitReader& in) {
  const int n = static_cast<int>(in.get(kLiteralCountBits));
  if (n == 0) {
    const int only = static_cast<int>(in.get(kLiteralCountBits));
    if (only >= kLiteralSymbols) return false;
    m_literals.single(only);
    return true;
  }
  if (n > kLiteralSymbols) return false;
  std::array<uint8_t, kLiteralSymbols> lengths{};
  int i = 0;
  while (i < n) {
    const int c = NextSymbol(m_lengthCode, in);
    if (c < 0) return false;
    if (c > 2) {
      lengths[static_cast<size_t>(i++)] = static_cast<uint8_t>(c - 2);
      continue;
    }
    const int run = static_cast<int>(c == 0 ? 1 : c == 1 ? in.get(4) + 3 : in.get(kLiteralCountBits) + 20);
    if (i + run > kLiteralSymbols && m_rules.strict) return false;
    i = std::min(i + run, kLiteralSymbols);
  }
  return m_literals.build(lengths.data(), kLiteralSymbols, m_rules.strict);
}

LzResult LhBlockDecoder::decode(MsbBitReader& in, LzWindow& window, uint64_t total) {
  return window.decode(in, total, [&](MsbBitReader::Bits& bits, uint8_t*& out, uint8_t* stop, uint64_t room) {
    uint8_t* const start = out;
    uint32_t blockLeft = m_blockLeft;  // a local, as `bits`
    LzResult result = LzResult::Ok;
    while (out < stop) {
      if (blockLeft == 0) {
        in.bits() = bits;
        m_blockLeft = 0;
        if (!startBlock(in)) {
          result = LzResult::BadTable;
          break;
        }
        bits = in.bits();
        blockLeft = m_blockLeft;
      }
      --blockLeft;
      in.refill(bits);  // 56 bits: a literal/length code, a position code and its 15 lower bits
      const auto token = m_literals.match(bits.peek16());
      if (token.symbol < 0) [[unlikely]] {
        result = LzResult::BadCode;
        break;
      }
      bits.skip(token.length);
      if (token.symbol < 256) {
        *out++ = static_cast<uint8_t>(token.symbol);
        continue;
      }
      const auto position = m_positions.match(bits.peek16());
      if (position.symbol < 0) [[unlikely]] {
        result = LzResult::BadCode;
        break;
      }
      bits.skip(position.length);
      // Symbol p > 0: a distance of p bits, the first a 1 that is not sent.
      const int p = position.symbol;
      const size_t distance = p == 0 ? 1 : (size_t{1} << (p - 1)) + bits.get(p - 1) + 1;
      if (!window.canCopy(out, distance)) [[unlikely]] {
        result = LzResult::BadCopy;
        break;
      }
      size_t length = static_cast<size_t>(token.symbol - 256 + kMinMatch);
      // A copy that runs past the original size is cut there; the CRC decides.
      if (length > static_cast<size_t>(stop - out)) length = std::min<uint64_t>(length, room - static_cast<uint64_t>(out - start));
      LzWindow::Copy(out, distance, length);
      out += length;
    }
    m_blockLeft = blockLeft;
    return result;
  });
}

}  // namespace rkarc
