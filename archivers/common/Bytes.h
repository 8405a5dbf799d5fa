// Fixed-width integers read from bytes, for every module's own header parsers:
// little-endian as the archive formats and MS-DOS and Windows executables store
// them, big-endian for the few that do not (Human68k and Amiga executables,
// ISH checksums).
#pragma once

#include <cstddef>
#include <cstdint>

namespace rkarc {

inline uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Le64(const unsigned char* p) { return Le32(p) | static_cast<uint64_t>(Le32(p + 4)) << 32; }
// A little-endian field of `width` bytes (at most 8), as headers whose field
// sizes vary store them.
inline uint64_t LeN(const unsigned char* p, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i > 0; --i) value = value << 8 | p[i - 1];
  return value;
}

inline uint16_t Be16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t Be32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

}  // namespace rkarc
