// CRC-16/ARC, table driven; see Crc16.h.
#include "archivers/unlha32/Crc16.h"

#include <array>

namespace rkarc {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t c = static_cast<uint16_t>(i);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ 0xA001) : static_cast<uint16_t>(c >> 1);
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

}  // namespace

void Crc16::update(const uint8_t* data, size_t size) {
  uint16_t c = m_value;
  for (size_t i = 0; i < size; ++i) c = static_cast<uint16_t>((c >> 8) ^ kTable[(c ^ data[i]) & 0xFF]);
  m_value = c;
}

uint16_t Crc16::Of(const uint8_t* data, size_t size) {
  Crc16 crc;
  crc.update(data, size);
  return crc.value();
}

}  // namespace rkarc
