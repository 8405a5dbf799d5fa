// Methods 1, 2 and 3: LZ77 with static Huffman codes sent per block, the bit
// layout of LZH's -lh7- (LhBlockDecoder) over ARJ's 26,624-byte history
// (docs/formats/ARJ.md section 5). The three methods differ only in how hard
// the compressor searched.
#pragma once

#include "archivers/common/LhBlockDecoder.h"
#include "archivers/unarj32j/ArjLzDecoder.h"

namespace rkarc {

class ArjHuffDecoder : public ArjLzDecoder {
 public:
  ArjHuffDecoder(ArjFile& file, const ArjHeader& header) : ArjLzDecoder(file, header) {}

 protected:
  LzResult run(MsbBitReader& in, LzWindow& window, uint64_t total) override {
    // 17 position codes in 5 bits; every code complete, no empty block.
    return LhBlockDecoder({17, 5, true}).decode(in, window, total);
  }
};

}  // namespace rkarc
