// Other archive kinds' signatures; see ForeignSignature.h.
#include "archivers/unlha32/ForeignSignature.h"

#include <array>
#include <cstring>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrc32 = MakeCrc32Table();

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = kCrc32[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

bool Starts(const uint8_t* p, size_t available, const char* magic, size_t n) {
  return available >= n && std::memcmp(p, magic, n) == 0;
}

// ARJ main header: 0x60 0xEA, size (at most 2600), the header, its CRC-32.
bool ArjHeader(const uint8_t* p, size_t available) {
  if (available < 8 || p[0] != 0x60 || p[1] != 0xEA) return false;
  const size_t size = Le16(p + 2);
  if (size < 30 || size > 2600 || available < 4 + size + 4) return false;
  return Crc32(p + 4, size) == Le32(p + 4 + size);
}

}  // namespace

bool ForeignSignature::At(const uint8_t* p, size_t available) {
  if (available < 4) return false;
  switch (p[0]) {
    case 'P':  // ZIP local header with a plausible "version needed"
      return Starts(p, available, "PK\x03\x04", 4) && available >= 6 && p[4] <= 63 && p[5] <= 3;
    case 'R':
      return Starts(p, available, "Rar!\x1A\x07", 6);
    case 'M':
      return Starts(p, available, "MSCF\0\0\0\0", 8);
    case '7':
      return Starts(p, available, "7z\xBC\xAF\x27\x1C", 6);
    case 0x60:
      return ArjHeader(p, available);
    default:
      return false;
  }
}

}  // namespace rkarc
