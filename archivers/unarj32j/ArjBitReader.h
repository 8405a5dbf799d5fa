// Most-significant-bit-first reading of one member's compressed data, as ARJ's
// methods 1-4 store it (docs/formats/ARJ.md section 5.1). Past the member's data the reader
// supplies zero bits but remembers that it overran: only damaged data gets there.
#pragma once

#include <cstdint>
#include <vector>

#include "archivers/unarj32j/ArjFile.h"

namespace rkarc {

class ArjBitReader {
 public:
  ArjBitReader(ArjFile& file, uint64_t offset, uint64_t size);

  // The next n bits (n <= 24) without consuming them.
  uint32_t peek(int n) {
    if (n == 0) return 0;
    if (m_count < n) refill();
    return static_cast<uint32_t>(m_bits >> (64 - n));
  }
  void skip(int n) {
    if (m_count < n) refill();
    m_bits <<= n;
    m_count -= n;
    m_consumed += static_cast<uint64_t>(n);
  }
  uint32_t get(int n) {
    const uint32_t value = peek(n);
    skip(n);
    return value;
  }
  uint32_t bit() { return get(1); }

  // More bits were consumed than the data holds.
  bool overrun() const { return m_consumed > m_size * 8; }
  bool ioError() const { return m_file.readFailed(); }

 private:
  void refill();

  ArjFile& m_file;
  uint64_t m_next;       // file offset of the next byte to load
  uint64_t m_end;        // file offset just past the data
  uint64_t m_size;       // bytes of data
  uint64_t m_consumed = 0;
  uint64_t m_bits = 0;   // left-aligned: the next bit is bit 63
  int m_count = 0;       // valid bits in m_bits
  std::vector<uint8_t> m_chunk;
  size_t m_chunkPos = 0;
};

}  // namespace rkarc
