// One member header of an LZH archive as read from the file: what every
// header level (0 to 3) and its extended headers can say about a member.
// Layouts: the LZH format notes (header levels 0-3, extended headers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rkarc {

struct LzhHeader {
  uint64_t offset = 0;          // where the header starts in the file
  uint64_t headerSize = 0;      // bytes from offset to the data (level 1: with its extended headers)
  uint64_t compressedSize = 0;  // data bytes only
  uint64_t originalSize = 0;
  std::string method;           // five characters, e.g. "-lh5-"
  int level = 0;
  bool hasCrc = false;          // very old level-0 headers have no room for the data CRC
  uint16_t crc = 0;             // CRC-16 of the original data
  uint8_t osId = 0;
  uint8_t dosAttributes = 0;
  uint32_t dosTime = 0;                   // levels 0/1: MS-DOS date and time, local time
  std::optional<int64_t> headerUnixTime;  // levels 2/3: the header's own time field (UTC)
  std::optional<int64_t> unixMtime;       // level-0 Unix extension or extended header 0x54
  std::optional<int64_t> windowsMtime;    // extended header 0x41
  std::optional<uint16_t> unixMode;       // level-0 Unix extension or extended header 0x50
  std::string fileName;                   // bytes as stored (level 0: may hold folders)
  std::string dirName;                    // bytes as stored, 0xFF separators already turned into '/'
  std::optional<std::string> utf16FileName;  // extended header 0x44, converted to UTF-8
  std::optional<std::string> utf16DirName;   // extended header 0x45, converted to UTF-8
  std::optional<uint32_t> codePage;          // extended header 0x46

  uint64_t dataOffset() const { return offset + headerSize; }
  uint64_t endOffset() const { return dataOffset() + compressedSize; }
  bool isDirectory() const { return method == "-lhd-"; }
  bool isSymlink() const { return unixMode && (*unixMode & 0170000) == 0120000; }
  // The best modification time the header carries, in seconds since 1970 (UTC).
  std::optional<int64_t> modificationTime() const;
};

// MS-DOS date/time (date in the high word) read as local time; nullopt when invalid.
std::optional<int64_t> DosTimeToUnix(uint32_t dosTime);

}  // namespace rkarc
