// Methods 1, 2 and 3: LZ77 with static Huffman codes sent per block, the
// scheme of docs/formats/ARJ.md section 5 (the bit layout of LZH -lh7-). The three methods
// differ only in how hard the compressor searched.
#pragma once

#include "archivers/unarj32j/ArjHuffman.h"
#include "archivers/unarj32j/ArjSlidingDecoder.h"

namespace rkarc {

class ArjHuffDecoder : public ArjSlidingDecoder {
 public:
  ArjHuffDecoder(ArjFile& file, const ArjHeader& header) : ArjSlidingDecoder(file, header) {}

 protected:
  bool next(Token& token) override;

 private:
  bool readBlockHeader();
  // The code-length (T) and position (P) codes: nbit-bit count, then lengths.
  bool readShortLengths(ArjHuffman& code, uint32_t symbols, int countBits, uint32_t zeroRunAfter);
  bool readLiteralLengths();

  ArjHuffman m_lengthCode;    // T: codes the literal/length code's lengths
  ArjHuffman m_literalCode;   // C: literals 0-255 and match lengths
  ArjHuffman m_positionCode;  // P: distance classes
  uint32_t m_blockLeft = 0;
};

}  // namespace rkarc
