// Canonical Huffman decoding for ARJ methods 1-3; see ArjHuffman.h.
#include "archivers/unarj32j/ArjHuffman.h"

namespace rkarc {

bool ArjHuffman::build(const std::vector<uint8_t>& lengths) {
  m_single = -1;
  m_countOfLength.fill(0);
  for (uint8_t length : lengths) {
    if (length > kMaxLength) return false;
    ++m_countOfLength[length];
  }
  m_countOfLength[0] = 0;
  // Kraft: each length halves the space left; a complete code leaves nothing.
  int64_t left = 1;
  for (int length = 1; length <= kMaxLength; ++length) {
    left = left * 2 - m_countOfLength[length];
    if (left < 0) return false;
  }
  if (left != 0) return false;

  m_symbols.clear();
  m_table.fill(0);
  uint32_t code = 0;  // canonical: consecutive within a length, doubled at the next
  for (int length = 1; length <= kMaxLength; ++length, code <<= 1) {
    for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
      if (lengths[symbol] != length) continue;
      m_symbols.push_back(static_cast<uint16_t>(symbol));
      if (length <= kTableBits) {
        const uint32_t first = code << (kTableBits - length), last = (code + 1) << (kTableBits - length);
        for (uint32_t i = first; i < last; ++i) m_table[i] = static_cast<uint16_t>(symbol << 5 | length);
      }
      ++code;
    }
  }
  return true;
}

void ArjHuffman::setSingle(uint16_t symbol) { m_single = symbol; }

uint16_t ArjHuffman::decode(ArjBitReader& bits) const {
  if (m_single >= 0) return static_cast<uint16_t>(m_single);
  const uint16_t entry = m_table[bits.peek(kTableBits)];
  if (entry != 0) {
    bits.skip(entry & 31);
    return static_cast<uint16_t>(entry >> 5);
  }
  return decodeLong(bits);
}

uint16_t ArjHuffman::decodeLong(ArjBitReader& bits) const {
  // The first code of each length follows from the counts of the shorter ones.
  const uint32_t window = bits.peek(kMaxLength);
  uint32_t first = 0;
  uint32_t index = 0;
  for (int length = 1; length <= kMaxLength; ++length) {
    const uint32_t code = window >> (kMaxLength - length);
    const uint32_t count = m_countOfLength[length];
    if (code - first < count) {
      bits.skip(length);
      return m_symbols[index + code - first];
    }
    index += count;
    first = (first + count) << 1;
  }
  return 0;  // not reached: a complete code matches within kMaxLength bits
}

}  // namespace rkarc
