// Executable image end of MZ, PE and HU files; see ExecutableImage.h.
#include "archivers/unlha32/ExecutableImage.h"

#include <algorithm>
#include <vector>

namespace rkarc {
namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return static_cast<uint32_t>(Le16(p)) | (static_cast<uint32_t>(Le16(p + 2)) << 16); }
uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// PE files: the end of the last section's raw data. The MZ fields of a PE
// file describe only its DOS stub.
uint64_t PeEnd(const ArchiveFile& file, uint32_t peOffset) {
  std::vector<uint8_t> coff;
  if (!file.readExact(peOffset, 24, coff)) return 0;
  const unsigned sections = std::min<unsigned>(Le16(coff.data() + 6), 96);
  const uint64_t table = uint64_t{peOffset} + 24 + Le16(coff.data() + 20);
  std::vector<uint8_t> entries;
  if (!file.readExact(table, sections * 40u, entries)) return 0;
  uint64_t end = 0;
  for (unsigned i = 0; i < sections; ++i) {
    const uint8_t* s = entries.data() + i * 40u;
    const uint64_t raw = Le32(s + 16);
    if (raw != 0) end = std::max(end, Le32(s + 20) + raw);
  }
  return end;
}

// MS-DOS image: pages of 512 bytes, the last one used up to e_cblp bytes.
uint64_t MzEnd(const uint8_t* h) {
  const uint64_t lastPage = Le16(h + 2);
  const uint64_t pages = Le16(h + 4);
  if (pages == 0) return 0;
  return lastPage == 0 ? pages * 512 : (pages - 1) * 512 + lastPage;
}

// Human68k: a 64-byte big-endian header followed by text, data, relocation,
// symbol and three debugger tables (bss takes no room in the file).
uint64_t HuEnd(const uint8_t* h) {
  uint64_t end = 0x40;
  for (unsigned at : {0x0Cu, 0x10u, 0x18u, 0x1Cu, 0x20u, 0x24u, 0x28u}) end += Be32(h + at);
  return end;
}

// Amiga hunk files: a header listing the hunks, then each hunk's blocks up
// to its HUNK_END. 0 when a block is of a kind not walked here.
uint64_t AmigaEnd(const ArchiveFile& file) {
  uint64_t at = 4;
  const auto next = [&](uint32_t& value) {
    uint8_t b[4];
    if (file.readAt(at, b, 4) != 4) return false;
    value = Be32(b);
    at += 4;
    return true;
  };
  uint32_t v = 0, first = 0, last = 0;
  while (next(v) && v != 0) at += uint64_t{v} * 4;  // resident library names
  if (v != 0 || !next(v) || !next(first) || !next(last) || last < first || last - first > 1000) return 0;
  for (uint32_t h = first; h <= last; ++h) {
    if (!next(v)) return 0;
    if ((v >> 30) == 3 && !next(v)) return 0;  // memory flags in a longword of their own
  }
  for (uint32_t ended = first; ended <= last;) {
    if (!next(v)) return 0;
    switch (v & 0x3FFFFFFF) {
      case 0x3E8:  // HUNK_NAME
      case 0x3E9:  // HUNK_CODE
      case 0x3EA:  // HUNK_DATA
      case 0x3F1:  // HUNK_DEBUG
        if (!next(v)) return 0;
        at += uint64_t{v & 0x3FFFFFFF} * 4;
        break;
      case 0x3EB:  // HUNK_BSS: only its size
        if (!next(v)) return 0;
        break;
      case 0x3EC:  // HUNK_RELOC32: {count, hunk, offsets} until a count of 0
        while (next(v) && v != 0) at += (uint64_t{v} + 1) * 4;
        if (v != 0) return 0;
        break;
      case 0x3F0:  // HUNK_SYMBOL: {name length, name, value} until a length of 0
        while (next(v) && v != 0) at += (uint64_t{v} + 1) * 4;
        if (v != 0) return 0;
        break;
      case 0x3F2:  // HUNK_END
        ++ended;
        break;
      default:
        return 0;
    }
    if (at > file.size()) return 0;
  }
  return at;
}

}  // namespace

const char* ExecutableImage::KindName(Kind kind) {
  switch (kind) {
    case Kind::MsDos: return "MS-DOS";
    case Kind::Windows: return "Windows";
    case Kind::X68000: return "X68000";
    case Kind::Amiga: return "Amiga";
    case Kind::None: break;
  }
  return "";
}

ExecutableImage ExecutableImage::Of(const ArchiveFile& file) {
  ExecutableImage image;
  uint8_t h[64] = {};
  if (file.readAt(0, h, sizeof h) != static_cast<int64_t>(sizeof h)) return image;
  if (Be32(h) == 0x3F3) {  // HUNK_HEADER
    image.kind = Kind::Amiga;
    image.end = AmigaEnd(file);
  } else if (h[0] == 'H' && h[1] == 'U') {
    image.kind = Kind::X68000;
    image.end = HuEnd(h);
  } else if ((h[0] == 'M' && h[1] == 'Z') || (h[0] == 'Z' && h[1] == 'M')) {
    image.kind = Kind::MsDos;
    image.end = MzEnd(h);
    const uint32_t peOffset = Le32(h + 0x3C);
    uint8_t sig[4] = {};
    if (peOffset >= 0x40 && file.readAt(peOffset, sig, 4) == 4 && sig[0] == 'P' && sig[1] == 'E' &&
        sig[2] == 0 && sig[3] == 0) {
      image.kind = Kind::Windows;
      image.end = PeEnd(file, peOffset);
    }
  }
  if (image.end > file.size()) image.end = 0;
  return image;
}

}  // namespace rkarc
