// LZ77 tokens under static Huffman codes sent block by block: LZH's -lh4- to
// -lh7- and ARJ's methods 1 to 3, which share one bit layout. A block starts
// with its token count and three codes: the code-length code (19 symbols),
// the literal/length code (256 literals and the lengths 3 to 256) and the
// position code (a distance's bit count, its lower bits following as such).
#pragma once

#include <cstdint>

#include "archivers/common/CanonicalCode.h"
#include "archivers/common/LzWindow.h"
#include "archivers/common/MsbBitReader.h"

namespace rkarc {

struct LhRules {
  int positionSymbols;    // 14 (-lh4-, -lh5-), 16 (-lh6-), 17 (-lh7-, ARJ)
  int positionCountBits;  // 4 (14 symbols) or 5
  // ARJ: every code fills its code space, a run of unused lengths stays
  // inside the literal code, and a block of no tokens is damage. LZH
  // archivers' data is taken with all three.
  bool strict;
};

class LhBlockDecoder {
 public:
  explicit LhBlockDecoder(const LhRules& rules) : m_rules(rules) {}

  // Decodes `total` bytes into `window` and hands them to its output.
  LzResult decode(MsbBitReader& in, LzWindow& window, uint64_t total);

 private:
  bool startBlock(MsbBitReader& in);
  bool readShortLengths(MsbBitReader& in, int symbols, int countBits, int zeroRunAfter, CanonicalCode<8>& code);
  bool readLiteralLengths(MsbBitReader& in);

  LhRules m_rules;
  CanonicalCode<8> m_lengthCode;
  CanonicalCode<12> m_literals;
  CanonicalCode<8> m_positions;
  uint32_t m_blockLeft = 0;
};

}  // namespace rkarc
