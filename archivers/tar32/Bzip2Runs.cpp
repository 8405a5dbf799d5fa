// Expanding bzip2's runs of four; see Bzip2Runs.h.
#include "archivers/tar32/Bzip2Runs.h"

#include <algorithm>
#include <cstring>

namespace rkarc::tar {

void Bzip2Runs::start(const uint8_t* data, size_t size) {
  m_data = data;
  m_size = size;
  m_at = 0;
  m_pending = 0;
  m_broken = false;
}

size_t Bzip2Runs::expand(uint8_t* out, size_t room) {
  size_t written = 0;
  while (written < room) {
    if (m_pending > 0) {
      const size_t n = std::min(m_pending, room - written);
      std::memset(out + written, m_byte, n);
      written += n;
      m_pending -= n;
      continue;
    }
    if (m_at == m_size) break;
    // Bytes up to the next four equal ones are copied as they are. A run
    // begins wherever four equal bytes do: a shorter run ends at the first
    // different byte, which may begin the next.
    const uint8_t* p = m_data + m_at;
    const size_t left = m_size - m_at;
    const size_t limit = std::min(left, room - written);
    size_t n = 0;
    while (n < limit && !(n + 3 < left && p[n] == p[n + 1] && p[n] == p[n + 2] && p[n] == p[n + 3])) ++n;
    std::memcpy(out + written, p, n);
    written += n;
    m_at += n;
    if (n == limit) continue;
    if (n + 4 == left) {
      m_broken = true;
      m_at = m_size;
      break;
    }
    m_byte = p[n];
    m_pending = 4 + static_cast<size_t>(p[n + 4]);
    m_at += 5;
  }
  return written;
}

}  // namespace rkarc::tar
