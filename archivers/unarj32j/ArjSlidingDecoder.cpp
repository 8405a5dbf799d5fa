// The shared window and output loop of methods 1-4; see ArjSlidingDecoder.h.
#include "archivers/unarj32j/ArjSlidingDecoder.h"

#include <algorithm>

#include "archivers/common/ResultCodes.h"

namespace rkarc {

ArjSlidingDecoder::ArjSlidingDecoder(ArjFile& file, const ArjHeader& header)
    : m_bits(file, header.dataOffset, header.compressedSize),
      m_window(kWindowSize, 0),
      m_left(header.originalSize) {}

void ArjSlidingDecoder::put(uint8_t byte) {
  m_window[m_pos] = byte;
  if (++m_pos == kWindowSize) m_pos = 0;
  if (m_filled < kWindowSize) ++m_filled;
}

bool ArjSlidingDecoder::startCopy(uint32_t length, uint32_t distance) {
  // An encoder never refers to history it has not written; such data is damaged.
  if (distance >= m_filled) {
    fail(kErrDamaged, "圧縮データが壊れています");
    return false;
  }
  m_copyFrom = (m_pos + kWindowSize - distance - 1) % kWindowSize;
  m_copyLeft = length;
  return true;
}

size_t ArjSlidingDecoder::read(uint8_t* out, size_t n) {
  size_t done = 0;
  while (done < n && m_left > 0 && failure() == 0) {
    if (m_copyLeft > 0) {
      // A copy that runs past the original size is cut there; the CRC decides.
      const size_t count = static_cast<size_t>(std::min<uint64_t>({n - done, m_copyLeft, m_left}));
      uint8_t* window = m_window.data();
      for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = window[m_copyFrom];
        if (++m_copyFrom == kWindowSize) m_copyFrom = 0;
        window[m_pos] = byte;
        if (++m_pos == kWindowSize) m_pos = 0;
        out[done++] = byte;
      }
      m_filled = static_cast<uint32_t>(std::min<uint64_t>(kWindowSize, uint64_t{m_filled} + count));
      m_copyLeft -= static_cast<uint32_t>(count);
      m_left -= count;
      continue;
    }
    Token token;
    if (!next(token)) break;
    if (m_bits.ioError()) {
      fail(kErrArchiveOpen, "書庫を読めません");
      break;
    }
    if (m_bits.overrun()) {
      fail(kErrDamaged, "データが途中で切れています");
      break;
    }
    if (token.length == 0) {
      put(static_cast<uint8_t>(token.value));
      out[done++] = static_cast<uint8_t>(token.value);
      --m_left;
    } else if (!startCopy(token.length, token.value)) {
      break;
    }
  }
  if (m_left == 0) m_copyLeft = 0;
  return done;
}

}  // namespace rkarc
