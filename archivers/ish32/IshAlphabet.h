// The character sets of ISH text: each maps a byte of an encoded line to the
// value it stands for. Which set applies where is the line decoder's business.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace rkarc {

class IshAlphabet {
 public:
  struct Range {
    uint8_t first;
    uint8_t last;
  };

  // Values are assigned in the order of the ranges, from 0.
  explicit IshAlphabet(std::initializer_list<Range> ranges);

  // The value of a byte, or -1 when the byte is not in the set.
  int value(uint8_t byte) const { return m_values[byte]; }

  static const IshAlphabet& jis7();      // 91 symbols: 0x21-0x7E without '#', '.', '`'
  static const IshAlphabet& jis8();      // 128 symbols, JIS with half-width katakana
  static const IshAlphabet& sjisLead();  // 182 symbols for a character in normal state
  static const IshAlphabet& sjisTrail(); // 182 symbols for a character after a lead byte
  static const IshAlphabet& nonKana();   // jis7's 91 plus 32 Shift_JIS lead bytes

 private:
  std::array<int16_t, 256> m_values;
};

}  // namespace rkarc
