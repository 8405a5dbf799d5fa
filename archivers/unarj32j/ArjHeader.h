// One ARJ header block (main or local header): the id, the basic header with
// its CRC-32, and the extended headers after it, read and checked as docs/formats/ARJ.md
// sections 1-3 describe. Nothing here trusts a size it has not bounded.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/unarj32j/ArjFile.h"

namespace rkarc {

// Header flags (byte 4 of the basic header).
constexpr uint8_t kArjGarbled = 0x01;
constexpr uint8_t kArjVolume = 0x04;   // continues in the next volume
constexpr uint8_t kArjExtFile = 0x08;  // continues a member of the previous volume

// File types (byte 6).
constexpr uint8_t kArjBinary = 0;
constexpr uint8_t kArjText = 1;
constexpr uint8_t kArjMainHeader = 2;
constexpr uint8_t kArjDirectory = 3;
constexpr uint8_t kArjVolumeLabel = 4;

constexpr uint8_t kArjHostUnix = 2;

struct ArjHeader {
  uint64_t offset = 0;      // where the header id is
  uint64_t dataOffset = 0;  // first byte after the block: a member's data
  uint8_t firstHeaderSize = 0;
  uint8_t version = 0;
  uint8_t minVersion = 0;
  uint8_t hostOs = 0;
  uint8_t flags = 0;
  uint8_t method = 0;
  uint8_t fileType = 0;
  uint32_t timestamp = 0;
  uint32_t compressedSize = 0;
  uint32_t originalSize = 0;
  uint32_t crc = 0;
  uint16_t mode = 0;
  std::string name;  // bytes as stored, without the NUL
  std::string comment;
};

enum class ArjHeaderStatus {
  Ok,
  End,        // the end-of-archive marker (basic header size 0)
  NoHeader,   // no header id at the offset
  BadSize,    // a size that no valid header has
  BadCrc,     // the basic or an extended header fails its CRC-32
  Truncated,  // the file ends inside the block
  ReadError,
};

// Reads the block at offset. On Ok, out holds the header; on End, out.dataOffset
// is the first byte after the marker.
ArjHeaderStatus ReadArjHeader(ArjFile& file, uint64_t offset, ArjHeader& out);

// A report text for a status other than Ok and End.
const char* ArjHeaderProblem(ArjHeaderStatus status);

}  // namespace rkarc
