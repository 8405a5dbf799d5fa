// The early LHA methods -lh2- (adaptive Huffman codes, AdaptiveHuffman) and
// -lh3- (static Huffman codes sent block by block, a position code of its
// own or a fixed one), both LZ77 over an 8 KB window (docs/formats/LZH.md).
// Rare, so decoded a symbol at a time; damaged data gives Damaged.
#pragma once

#include <string_view>

#include "archivers/unlha32/LzhDecoder.h"

namespace rkarc {

class LhOldDecoder {
 public:
  static bool Handles(std::string_view method) { return method == "-lh2-" || method == "-lh3-"; }

  // Decodes the member's data to header.originalSize bytes into `output`;
  // checks the length and the CRC-16 as LzhDecoder::Decode does.
  static LzhDecoder::Result Decode(const ArchiveFile& file, const LzhHeader& header, const LzhDecoder::Output& output,
                                   const LzhDecoder::Position& position);
};

}  // namespace rkarc
