// A canonical Huffman code as LZH's -lh4- to -lh7- and ARJ's methods 1-3
// store it: one length per symbol, codes consecutive within a length, the
// first code of each length following from the counts of the shorter ones,
// read most significant bit first. Codes up to kBits long are looked up whole
// in a table; longer ones, rare, are found by length.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace rkarc {

template <int kBits>
class CanonicalCode {
 public:
  static constexpr int kMaxLength = 16;
  static constexpr int kMaxSymbols = 510;  // the literal/length code of both formats

  // False when a length exceeds kMaxLength, the lengths promise more codes than
  // kMaxLength bits hold, or (with `complete`) leave part of the code space unused.
  bool build(const uint8_t* lengths, int symbols, bool complete) {
    if (symbols > kMaxSymbols) return false;
    std::array<uint32_t, kMaxLength + 1> count{};
    for (int s = 0; s < symbols; ++s) {
      if (lengths[s] > kMaxLength) return false;
      ++count[lengths[s]];
    }
    count[0] = 0;
    uint32_t code = 0, offset = 0, space = 0;
    for (int len = 1; len <= kMaxLength; ++len) {
      m_first[len] = code;
      m_offset[len] = offset;
      m_count[len] = count[len];
      space += count[len] << (kMaxLength - len);
      code = (code + count[len]) << 1;
      offset += count[len];
    }
    if (space > (1u << kMaxLength) || (complete && space != (1u << kMaxLength))) return false;
    std::array<uint32_t, kMaxLength + 1> next = m_first;
    std::array<uint32_t, kMaxLength + 1> slot = m_offset;
    m_primary.fill(0);
    for (int s = 0; s < symbols; ++s) {
      const int len = lengths[s];
      if (len == 0) continue;
      const uint32_t c = next[len]++;
      m_sorted[slot[len]++] = static_cast<uint16_t>(s);
      if (len <= kBits) {
        const uint32_t entry = static_cast<uint32_t>(s) << 8 | kWhole | static_cast<uint32_t>(len);
        std::fill(m_primary.begin() + (c << (kBits - len)), m_primary.begin() + ((c + 1) << (kBits - len)), entry);
      } else {
        m_primary[c >> (len - kBits)] = kLong;
      }
    }
    return true;
  }

  // Every code decodes to `symbol` and takes no bits.
  void single(int symbol) { m_primary.fill(static_cast<uint32_t>(symbol) << 8 | kWhole); }

  // The symbol that the next kMaxLength bits (`window`, most significant bit
  // first) begin with and its code length, or symbol -1 where no code matches.
  struct Match {
    int symbol;
    int length;
  };
  Match match(uint32_t window) const {
    const uint32_t entry = m_primary[window >> (kMaxLength - kBits)];
    if (entry & kWhole) return {static_cast<int>(entry >> 8), static_cast<int>(entry & 0x1F)};
    if (!(entry & kLong)) return {-1, 0};
    for (int len = kBits + 1; len <= kMaxLength; ++len) {
      const uint32_t c = window >> (kMaxLength - len);
      if (c >= m_first[len] && c - m_first[len] < m_count[len]) return {m_sorted[m_offset[len] + c - m_first[len]], len};
    }
    return {-1, 0};
  }

 private:
  static constexpr uint32_t kWhole = 0x80, kLong = 0x40;
  std::array<uint32_t, 1u << kBits> m_primary{};
  std::array<uint32_t, kMaxLength + 1> m_first{}, m_offset{}, m_count{};
  std::array<uint16_t, kMaxSymbols> m_sorted{};
};

}  // namespace rkarc
