// Method 4 ("fastest"): literals and copies with unary-prefixed lengths and
// distances, no Huffman tables and no blocks (docs/formats/ARJ.md section 6).
#pragma once

#include "archivers/unarj32j/ArjSlidingDecoder.h"

namespace rkarc {

class ArjFastDecoder : public ArjSlidingDecoder {
 public:
  ArjFastDecoder(ArjFile& file, const ArjHeader& header) : ArjSlidingDecoder(file, header) {}

 protected:
  bool next(Token& token) override;

 private:
  // Counts 1 bits up to `most`, consuming the 0 bit that ends a shorter run.
  uint32_t unary(uint32_t most);
};

}  // namespace rkarc
