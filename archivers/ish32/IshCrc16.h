// The CRC-16 of ISH records and files: polynomial 0x1021, initial 0xFFFF,
// most significant bit first, result complemented (CRC-16/GENIBUS).
#pragma once

#include <cstddef>
#include <cstdint>

namespace rkarc {

class IshCrc16 {
 public:
  void update(const uint8_t* data, size_t size);
  uint16_t value() const { return static_cast<uint16_t>(m_register ^ 0xFFFF); }

 private:
  uint16_t m_register = 0xFFFF;
};

}  // namespace rkarc
