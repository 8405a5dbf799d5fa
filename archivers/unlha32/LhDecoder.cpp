// The -lh4- to -lh7- decoder; see LhDecoder.h. The blocks and their codes
// (docs/formats/LZH.md) are read by LhBlockDecoder, shared with the ARJ module.
#include "archivers/unlha32/LhDecoder.h"

#include <algorithm>

#include "archivers/common/LhBlockDecoder.h"
#include "archivers/unlha32/Crc16.h"

namespace rkarc {
namespace {

// Zero bits up to 4 bytes past the data's end are taken as data (the length
// and the CRC-16 still decide): this module has always read LZH data with that
// much leeway, where the ARJ module is exact.
constexpr uint32_t kSlackBytes = 4;

}  // namespace

MsbBitReader LhDecoder::DataReader(const ArchiveFile& file, const LzhHeader& header,
                                   const LzhDecoder::Position& position) {
  return MsbBitReader(
      [&file, position](uint64_t offset, uint8_t* buffer, size_t size) {
        const int64_t n = file.readAt(offset, buffer, size);
        if (n > 0 && position) position(offset + static_cast<uint64_t>(n));
        return n;
      },
      header.dataOffset(), header.endOffset(), kSlackBytes);
}

int LhDecoder::WindowBits(std::string_view method) {
  if (method == "-lh4-") return 12;
  if (method == "-lh5-") return 13;
  if (method == "-lh6-") return 15;
  if (method == "-lh7-") return 16;
  return 0;
}

LzhDecoder::Result LhDecoder::Decode(const ArchiveFile& file, const LzhHeader& header, int windowBits,
                                     const LzhDecoder::Output& output, const LzhDecoder::Position& position) {
  using Result = LzhDecoder::Result;
  const int symbols = std::max(windowBits + 1, 14);  // -lh4- shares -lh5-'s position code
  MsbBitReader in = DataReader(file, header, position);
  Crc16 crc;
  // Distances reaching before the first byte read spaces, as every LHA does.
  LzWindow window(LzWindow::kHistory, uint8_t{' '}, header.originalSize, [&](const uint8_t* data, size_t size) {
    crc.update(data, size);
    return output(data, size);
  });
  LhBlockDecoder decoder({symbols, symbols <= 14 ? 4 : 5, false});
  const LzResult result = decoder.decode(in, window, header.originalSize);
  if (in.readError()) return Result::ReadError;
  if (result == LzResult::OutputFailed) return Result::OutputFailed;
  if (result != LzResult::Ok) return header.endOffset() > file.size() ? Result::Truncated : Result::Damaged;
  if (header.hasCrc && crc.value() != header.crc) return Result::CrcMismatch;
  return Result::Ok;
}

}  // namespace rkarc
