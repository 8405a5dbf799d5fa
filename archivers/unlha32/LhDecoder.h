// The -lh4- to -lh7- decoder (docs/formats/LZH.md): static Huffman blocks over an LZ77 window of
// 4 to 64 KB (LhBlockDecoder). Codes are looked up whole in tables, where
// liblhasa walks a tree bit by bit (three times slower on a 300 MB archive).
// Damaged data gives Damaged, never a crash or a read outside the tables and
// the window.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "archivers/common/MsbBitReader.h"
#include "archivers/unlha32/LzhDecoder.h"

namespace rkarc {

class LhDecoder {
 public:
  // The reader of a member's data, which tells `position` how far it read;
  // zero bits a little past the data's end still count as data.
  static MsbBitReader DataReader(const ArchiveFile& file, const LzhHeader& header,
                                 const LzhDecoder::Position& position);

  // The window bits of a method this decoder handles, or 0.
  static int WindowBits(std::string_view method);

  // Decodes the member's data to header.originalSize bytes into `output`;
  // checks the length and the CRC-16 as LzhDecoder::Decode does.
  static LzhDecoder::Result Decode(const ArchiveFile& file, const LzhHeader& header, int windowBits,
                                   const LzhDecoder::Output& output, const LzhDecoder::Position& position);
};

}  // namespace rkarc
