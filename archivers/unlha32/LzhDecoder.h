// Decodes the data of one LZH member, -lh4- to -lh7- with our own
// table-driven decoder (LhDecoder), -lh2- and -lh3- with LhOldDecoder, the rest with liblhasa's decoders (lh0,
// lh1, lhx, lzs, lz4, lz5, pm0-pm2), streaming the output and verifying its
// length and CRC-16. liblhasa is used only as a decoder: its archive
// reader splits CP932 names on 0x5C bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "archivers/common/ArchiveFile.h"
#include "archivers/unlha32/LzhHeader.h"

namespace rkarc {

class LzhDecoder {
 public:
  enum class Result {
    Ok,
    Truncated,      // the file ends inside the member's data
    Damaged,        // the data decoded to less than the header promised
    CrcMismatch,    // decoded in full, but the CRC-16 differs
    ReadError,      // the archive file could not be read
    OutputFailed,   // the output callback refused the data
  };
  // Receives decoded data; returns false to stop.
  using Output = std::function<bool(const uint8_t* data, size_t size)>;
  // Told the file offset reached while reading compressed data.
  using Position = std::function<void(uint64_t offset)>;

  static bool Supports(std::string_view method);

  static Result Decode(const ArchiveFile& file, const LzhHeader& header, const Output& output,
                       const Position& position = {});
};

}  // namespace rkarc
