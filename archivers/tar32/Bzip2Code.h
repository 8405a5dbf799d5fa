// One of a bzip2 block's Huffman codes, decoded exactly as libbz2 decodes
// it: canonical codes from the lengths, matched one more bit at a time
// against the largest code of each length. For the codes encoders write this
// is ordinary canonical decoding; libbz2 also accepts lengths that promise
// more codes than exist, and damaged files it reads through with a right CRC
// must read here the same. Codes up to kBits long are looked up whole.
#pragma once

#include <array>
#include <cstdint>

namespace rkarc::tar {

class Bzip2Code {
 public:
  static constexpr int kWindow = 21;  // libbz2 gives up after reading the 21st bit
  static constexpr int kMaxSymbols = 258;

  // `lengths` of `symbols` symbols, each 1-20.
  void build(const uint8_t* lengths, int symbols);

  // The symbol that the next kWindow bits (`window`, most significant bit
  // first) begin with, and the bits it takes; symbol -1 where libbz2 reports
  // damage, with the bits it had read by then.
  struct Match {
    int symbol;
    int length;
  };
  Match match(uint32_t window) const {
    const uint32_t entry = m_primary[window >> (kWindow - kBits)];
    if (!(entry & kLong)) return {(entry & kBad) ? -1 : static_cast<int>(entry >> 8), static_cast<int>(entry & 0x1F)};
    return matchLong(window);
  }

 private:
  static constexpr int kBits = 10;
  static constexpr uint32_t kBad = 0x40, kLong = 0x80;
  static constexpr int kMaxLength = 20;

  // libbz2's answer once `zvec`, the first `length` bits, is at most the
  // largest code of that length.
  Match resolve(int32_t zvec, int length) const;
  Match matchLong(uint32_t window) const;

  int m_symbols = 0;
  int m_minLength = 0;
  std::array<int32_t, kMaxLength + 2> m_limit{}, m_base{};
  std::array<uint16_t, kMaxSymbols> m_sorted{};  // symbols by length, then value (libbz2's perm)
  std::array<uint32_t, 1u << kBits> m_primary{};
};

}  // namespace rkarc::tar
