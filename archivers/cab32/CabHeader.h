// The header of a Microsoft cabinet (CFHEADER, CFFOLDER and CFFILE records),
// parsed and checked by our own code before libmspack sees the data: it tells
// a real cabinet from the bytes "MSCF" inside an executable stub, and it keeps
// the raw folder index of each file, which says whether the file continues in
// another cabinet of a set. Layout: Microsoft Cabinet Format, CFHEADER ff.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rkarc {

// Folder index values of a file that is split across cabinets of a set.
constexpr uint16_t kCabContinuedFromPrev = 0xFFFD;
constexpr uint16_t kCabContinuedToNext = 0xFFFE;
constexpr uint16_t kCabContinuedPrevAndNext = 0xFFFF;

// Header flags.
constexpr uint16_t kCabFlagPrevCabinet = 0x0001;
constexpr uint16_t kCabFlagNextCabinet = 0x0002;
constexpr uint16_t kCabFlagReservePresent = 0x0004;

// File attribute: the name is UTF-8 rather than the maker's code page.
constexpr uint16_t kCabAttribNameIsUtf8 = 0x0080;
constexpr uint16_t kCabAttribExecutable = 0x0040;

// Compression method in the low four bits of a folder's compression type.
enum class CabMethod : uint8_t { None = 0, MsZip = 1, Quantum = 2, Lzx = 3 };

struct CabFolderEntry {
  uint32_t dataOffset = 0;  // first CFDATA block, from the start of the cabinet
  uint16_t blockCount = 0;
  uint16_t compressionType = 0;

  uint8_t method() const { return compressionType & 0x0F; }
  uint8_t level() const { return (compressionType >> 8) & 0x1F; }
};

struct CabFileEntry {
  std::string name;  // bytes as stored, without the terminating NUL
  uint32_t size = 0;
  uint32_t folderOffset = 0;  // of the file's data in its folder's uncompressed stream
  uint16_t folderIndex = 0;   // raw: a folder number or one of kCabContinued*
  uint16_t date = 0;          // MS-DOS date and time
  uint16_t time = 0;
  uint16_t attributes = 0;

  bool continuedFromPrev() const {
    return folderIndex == kCabContinuedFromPrev || folderIndex == kCabContinuedPrevAndNext;
  }
  bool continuedToNext() const {
    return folderIndex == kCabContinuedToNext || folderIndex == kCabContinuedPrevAndNext;
  }
};

struct CabHeader {
  uint32_t cabinetSize = 0;  // cbCabinet: the cabinet's own length in bytes
  uint16_t flags = 0;
  uint16_t setId = 0;
  uint16_t setIndex = 0;
  uint8_t dataReserve = 0;  // reserved bytes in each CFDATA block
  std::string prevCabinet;  // file names of the neighbours in a set, as stored
  std::string nextCabinet;
  std::vector<CabFolderEntry> folders;
  std::vector<CabFileEntry> files;

  // The folder that holds a file's data: its own index, or the first or last
  // folder for a file continued from the previous or into the next cabinet.
  size_t folderOf(const CabFileEntry& file) const;
};

// What ParseCabHeader found in the bytes it was given.
enum class CabParse {
  Ok,
  NeedMore,  // the header runs past the bytes given; *needed says how many it takes
  Invalid,   // not a cabinet header (or one damaged beyond use)
};

// Parses the header at the start of `data` (which begins with "MSCF").
// `available` is how many bytes of the file lie from there to its end: a
// cabinet may not claim more unless allowShort is set (a .CAB file cut short,
// whose members are then reported one by one). The checks are strict enough
// to reject the signature found by chance inside a program.
CabParse ParseCabHeader(const uint8_t* data, size_t size, uint64_t available, bool allowShort,
                        CabHeader& out, size_t* needed);

}  // namespace rkarc
