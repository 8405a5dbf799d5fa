// What methods 1-4 share: a 26,624-byte history window (not a power of two;
// positions wrap modulo its size), literals and copies from the history, and
// the rule that the member ends exactly at its original size (docs/formats/ARJ.md 5-6).
#pragma once

#include <vector>

#include "archivers/unarj32j/ArjBitReader.h"
#include "archivers/unarj32j/ArjDecoder.h"

namespace rkarc {

class ArjSlidingDecoder : public ArjDecoder {
 public:
  static constexpr uint32_t kWindowSize = 26624;
  static constexpr uint32_t kMinMatch = 3;
  static constexpr uint32_t kMaxMatch = 256;

  ArjSlidingDecoder(ArjFile& file, const ArjHeader& header);
  size_t read(uint8_t* out, size_t n) final;

 protected:
  // One decoded step: a literal byte (length 0) or a copy of `length` bytes
  // from `distance` + 1 bytes back.
  struct Token {
    uint32_t length = 0;
    uint32_t value = 0;  // the literal, or the distance
  };
  // False after calling fail().
  virtual bool next(Token& token) = 0;

  ArjBitReader& bits() { return m_bits; }

 private:
  bool startCopy(uint32_t length, uint32_t distance);
  void put(uint8_t byte);

  ArjBitReader m_bits;
  std::vector<uint8_t> m_window;
  uint32_t m_pos = 0;     // where the next byte goes
  uint32_t m_filled = 0;  // bytes of history, at most the window size
  uint32_t m_copyFrom = 0;
  uint32_t m_copyLeft = 0;
  uint64_t m_left;        // bytes still to produce
};

}  // namespace rkarc
