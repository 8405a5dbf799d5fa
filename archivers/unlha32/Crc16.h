// CRC-16/ARC (polynomial 0x8005 reflected, initial 0, no final XOR): the
// checksum of LZH member data and of level 2/3 headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rkarc {

class Crc16 {
 public:
  void update(const uint8_t* data, size_t size);
  uint16_t value() const { return m_value; }

  static uint16_t Of(const uint8_t* data, size_t size);

 private:
  uint16_t m_value = 0;
};

}  // namespace rkarc
