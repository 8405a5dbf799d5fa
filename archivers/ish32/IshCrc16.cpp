// Table-driven CRC-16/GENIBUS.
#include "archivers/ish32/IshCrc16.h"

#include <array>

namespace rkarc {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned reg = i << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
    table[i] = static_cast<uint16_t>(reg);
  }
  return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

}  // namespace

void IshCrc16::update(const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i)
    m_register = static_cast<uint16_t>((m_register << 8) ^ kTable[((m_register >> 8) ^ data[i]) & 0xFF]);
}

}  // namespace rkarc
