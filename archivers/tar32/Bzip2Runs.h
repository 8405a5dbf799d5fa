// The last step of bzip2 decoding: runs of four equal bytes followed by a
// count byte (0-255 more of the same) become the bytes they stand for. It
// resumes where the caller's room ran out, so that a block that stands for
// far more bytes than it holds (up to about 46 MB from 900 KB) can be handed
// out piece by piece.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rkarc::tar {

class Bzip2Runs {
 public:
  void start(const uint8_t* data, size_t size);
  // Writes up to `room` bytes to `out`; returns how many.
  size_t expand(uint8_t* out, size_t room);
  bool finished() const { return m_pending == 0 && m_at == m_size; }
  // The data ended on four equal bytes without their count: libbz2 counts
  // that as damage.
  bool broken() const { return m_broken; }

 private:
  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  size_t m_at = 0;
  size_t m_pending = 0;  // copies of m_byte still to be written
  uint8_t m_byte = 0;
  bool m_broken = false;
};

}  // namespace rkarc::tar
