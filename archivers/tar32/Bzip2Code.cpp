// bzip2's Huffman codes as libbz2 decodes them; see Bzip2Code.h.
#include "archivers/tar32/Bzip2Code.h"

#include <algorithm>

namespace rkarc::tar {

void Bzip2Code::build(const uint8_t* lengths, int symbols) {
  m_symbols = symbols;
  const auto [shortest, longest] = std::minmax_element(lengths, lengths + symbols);
  m_minLength = *shortest;
  const int maxLength = *longest;
  std::array<int32_t, kMaxLength + 2> before{};  // symbols with a shorter code than each length
  int sorted = 0;
  for (int length = m_minLength; length <= maxLength; ++length)
    for (int s = 0; s < symbols; ++s)
      if (lengths[s] == length) m_sorted[sorted++] = static_cast<uint16_t>(s);
  for (int s = 0; s < symbols; ++s) ++before[lengths[s] + 1];
  for (int length = 1; length <= kMaxLength + 1; ++length) before[length] += before[length - 1];
  // The largest code of each length, past the longest none; then what to
  // take from a code of each length to find its place in m_sorted.
  m_limit.fill(0);
  int32_t next = 0;
  for (int length = m_minLength; length <= maxLength; ++length) {
    next += before[length + 1] - before[length];
    m_limit[length] = next - 1;
    next <<= 1;
  }
  m_base = before;
  for (int length = m_minLength + 1; length <= maxLength; ++length)
    m_base[length] = ((m_limit[length - 1] + 1) << 1) - before[length];
  for (uint32_t v = 0; v < m_primary.size(); ++v) {
    m_primary[v] = kLong;
    for (int length = m_minLength; length <= kBits; ++length) {
      const auto zvec = static_cast<int32_t>(v >> (kBits - length));
      if (zvec > m_limit[length]) continue;
      const Match m = resolve(zvec, length);
      m_primary[v] = m.symbol < 0 ? kBad | static_cast<uint32_t>(length)
                                  : static_cast<uint32_t>(m.symbol) << 8 | static_cast<uint32_t>(length);
      break;
    }
  }
}

Bzip2Code::Match Bzip2Code::resolve(int32_t zvec, int length) const {
  const int32_t at = zvec - m_base[length];
  // libbz2 indexes its 258-entry table up to its end; past the symbols it
  // holds leftovers, which no readable file can rely on.
  if (at < 0 || at >= m_symbols) return {-1, length};
  return {m_sorted[at], length};
}

Bzip2Code::Match Bzip2Code::matchLong(uint32_t window) const {
  for (int length = std::max(m_minLength, kBits + 1); length <= kMaxLength; ++length) {
    const auto zvec = static_cast<int32_t>(window >> (kWindow - length));
    if (zvec <= m_limit[length]) return resolve(zvec, length);
  }
  return {-1, kWindow};
}

}  // namespace rkarc::tar
