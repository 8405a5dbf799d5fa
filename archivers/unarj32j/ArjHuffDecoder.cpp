// Methods 1-3 decoding; see ArjHuffDecoder.h and docs/formats/ARJ.md section 5.2.
#include "archivers/unarj32j/ArjHuffDecoder.h"

#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

constexpr uint32_t kLiteralSymbols = 510;  // NC: 256 literals + 254 lengths
constexpr uint32_t kPositionSymbols = 17;  // NP
constexpr uint32_t kLengthSymbols = 19;    // NT
constexpr int kLiteralCountBits = 9;       // CBIT
constexpr int kPositionCountBits = 5;      // PBIT
constexpr int kLengthCountBits = 5;        // TBIT
constexpr uint32_t kNoZeroRun = 0;

}  // namespace

bool ArjHuffDecoder::next(Token& token) {
  if (m_blockLeft == 0 && !readBlockHeader()) return false;
  --m_blockLeft;
  const uint16_t symbol = m_literalCode.decode(bits());
  if (symbol < 256) {
    token.length = 0;
    token.value = symbol;
    return true;
  }
  token.length = symbol - 256u + kMinMatch;
  const uint16_t position = m_positionCode.decode(bits());
  token.value = position == 0 ? 0 : (1u << (position - 1)) + bits().get(position - 1);
  return true;
}

bool ArjHuffDecoder::readBlockHeader() {
  m_blockLeft = bits().get(16);
  // An encoder never sends an empty block before the data's end.
  if (m_blockLeft == 0 || !readShortLengths(m_lengthCode, kLengthSymbols, kLengthCountBits, 3) ||
      !readLiteralLengths() ||
      !readShortLengths(m_positionCode, kPositionSymbols, kPositionCountBits, kNoZeroRun)) {
    fail(kErrDamaged, "圧縮データが壊れています（ハフマン表が不正です）");
    return false;
  }
  return true;
}

bool ArjHuffDecoder::readShortLengths(ArjHuffman& code, uint32_t symbols, int countBits,
                                      uint32_t zeroRunAfter) {
  const uint32_t n = bits().get(countBits);
  if (n == 0) {
    const uint32_t only = bits().get(countBits);
    if (only >= symbols) return false;
    code.setSingle(static_cast<uint16_t>(only));
    return true;
  }
  if (n > symbols) return false;
  std::vector<uint8_t> lengths(symbols, 0);
  uint32_t i = 0;
  while (i < n) {
    uint32_t length = bits().get(3);
    if (length == 7) {
      while (bits().bit() == 1)
        if (++length > ArjHuffman::kMaxLength) return false;
    }
    lengths[i++] = static_cast<uint8_t>(length);
    // Encoders may count this zero run past n (when the lengths end at the third);
    // the run only ever writes zeros, so it is skipped, not refused.
    if (i == zeroRunAfter) i += bits().get(2);
  }
  return code.build(lengths);
}

bool ArjHuffDecoder::readLiteralLengths() {
  const uint32_t n = bits().get(kLiteralCountBits);
  if (n == 0) {
    const uint32_t only = bits().get(kLiteralCountBits);
    if (only >= kLiteralSymbols) return false;
    m_literalCode.setSingle(static_cast<uint16_t>(only));
    return true;
  }
  if (n > kLiteralSymbols) return false;
  std::vector<uint8_t> lengths(kLiteralSymbols, 0);
  uint32_t i = 0;
  while (i < n) {
    const uint16_t t = m_lengthCode.decode(bits());
    if (t <= 2) {
      const uint32_t zeros = t == 0 ? 1 : t == 1 ? bits().get(4) + 3 : bits().get(kLiteralCountBits) + 20;
      if (i + zeros > kLiteralSymbols) return false;
      i += zeros;
    } else {
      lengths[i++] = static_cast<uint8_t>(t - 2);
    }
  }
  return m_literalCode.build(lengths);
}

}  // namespace rkarc
