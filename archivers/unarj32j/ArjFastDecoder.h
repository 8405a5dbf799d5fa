// Method 4 ("fastest"): literals and copies with unary-prefixed lengths and
// distances, no Huffman tables and no blocks (docs/formats/ARJ.md section 6).
#pragma once

#include "archivers/unarj32j/ArjLzDecoder.h"

namespace rkarc {

class ArjFastDecoder : public ArjLzDecoder {
 public:
  ArjFastDecoder(ArjFile& file, const ArjHeader& header) : ArjLzDecoder(file, header) {}

 protected:
  LzResult run(MsbBitReader& in, LzWindow& window, uint64_t total) override;
};

}  // namespace rkarc
