// A canonical Huffman code of ARJ's methods 1-3 (ARJ.md section 5.2): built
// from one code length per symbol, read most significant bit first. Lengths
// that do not fill the code space exactly are refused as damaged.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "archivers/unarj32j/ArjBitReader.h"

namespace rkarc {

class ArjHuffman {
 public:
  static constexpr int kMaxLength = 16;

  // lengths[i] is the code length of symbol i (0: unused). False when a length
  // exceeds kMaxLength or the lengths do not form a complete prefix code.
  bool build(const std::vector<uint8_t>& lengths);
  // The degenerate code of a single symbol that takes no bits at all.
  void setSingle(uint16_t symbol);

  uint16_t decode(ArjBitReader& bits) const;

 private:
  // Codes up to this long are looked up whole; longer ones, rare, are found
  // by walking the lengths.
  static constexpr int kTableBits = 10;
  uint16_t decodeLong(ArjBitReader& bits) const;

  std::array<uint16_t, kMaxLength + 1> m_countOfLength{};
  // Indexed by the next kTableBits bits: symbol << 5 | code length, or 0
  // where the code is longer than kTableBits.
  std::array<uint16_t, 1u << kTableBits> m_table{};
  std::vector<uint16_t> m_symbols;  // ordered by code length, then by symbol
  int m_single = -1;
};

}  // namespace rkarc
