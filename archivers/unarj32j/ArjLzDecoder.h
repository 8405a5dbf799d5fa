// What methods 1-4 share: the member's compressed data read bit by bit, a
// history of 26,624 bytes that copies may reach into (never before the first
// byte), and the rule that the member ends exactly at its original size.
#pragma once

#include "archivers/common/LzWindow.h"
#include "archivers/common/MsbBitReader.h"
#include "archivers/unarj32j/ArjDecoder.h"

namespace rkarc {

class ArjLzDecoder : public ArjDecoder {
 public:
  static constexpr size_t kWindowSize = 26624;

  ArjLzDecoder(ArjFile& file, const ArjHeader& header);
  bool decode(const Output& output) final;

 protected:
  // Decodes `total` bytes into `window`.
  virtual LzResult run(MsbBitReader& in, LzWindow& window, uint64_t total) = 0;

 private:
  MsbBitReader m_in;
  uint64_t m_size;
};

}  // namespace rkarc
