// A canonical Huffman code of ARJ's methods 1-3 (docs/formats/ARJ.md section 5.2): built
// from one code length per symbol, read most significant bit first. Lengths
// that do not fill the code space exactly are refused as damaged.
#pragma once

#include <cstdint>
#include <vector>

#include "archivers/common/CanonicalCode.h"
#include "archivers/unarj32j/ArjBitReader.h"

namespace rkarc {

class ArjHuffman {
 public:
  static constexpr int kMaxLength = CanonicalCode<10>::kMaxLength;

  // lengths[i] is the code length of symbol i (0: unused). False when a length
  // exceeds kMaxLength or the lengths do not form a complete prefix code.
  bool build(const std::vector<uint8_t>& lengths) {
    m_single = -1;
    return m_code.build(lengths.data(), static_cast<int>(lengths.size()), true);
  }
  // The degenerate code of a single symbol that takes no bits at all.
  void setSingle(uint16_t symbol) { m_single = symbol; }

  uint16_t decode(ArjBitReader& bits) const {
    if (m_single >= 0) return static_cast<uint16_t>(m_single);
    const auto [symbol, length] = m_code.match(bits.peek(kMaxLength));
    if (symbol < 0) return 0;  // not reached: a complete code matches within kMaxLength bits
    bits.skip(length);
    return static_cast<uint16_t>(symbol);
  }

 private:
  CanonicalCode<10> m_code;
  int m_single = -1;
};

}  // namespace rkarc
