// The bits of a bzip2 file, most significant first, from any bit position on
// (blocks are not byte-aligned), read straight from the file in blocks of its
// own so that several threads can each decode a block. Past the end of the
// file, or after a read error or a stop request, it gives zero bits; the
// decoder then finds position() beyond endBits() and reports the file as cut,
// as libbz2 reports a stream that runs out of input.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::tar {

class Bzip2Bits {
 public:
  // `buffer` is the caller's, kept from block to block; `stop` (may be null)
  // ends reading early when set.
  Bzip2Bits(const InputFile& file, std::vector<uint8_t>& buffer, const std::atomic<bool>* stop = nullptr);

  void start(uint64_t bitPosition);

  // The next `n` (1 to 32) bits without taking them.
  uint32_t peek(int n) {
    if (m_count < n) refill();
    return static_cast<uint32_t>(m_bits >> (64 - n));
  }
  void skip(int n) {
    m_bits <<= n;
    m_count -= n;
  }
  uint32_t take(int n) {
    const uint32_t v = peek(n);
    skip(n);
    return v;
  }

  // Bits taken so far, counted from the start of the file.
  uint64_t position() const { return (m_offset + static_cast<uint64_t>(m_next - m_data)) * 8 - m_count; }
  uint64_t endBits() const { return m_file.size() * 8; }
  bool pastEnd() const { return position() > endBits(); }
  // A read failed (not the end of the file, nor a stop request).
  bool readFailed() const { return m_readFailed; }

 private:
  void refill();
  void load();

  const InputFile& m_file;
  std::vector<uint8_t>& m_buffer;
  const std::atomic<bool>* m_stop;
  uint64_t m_bits = 0;  // left-aligned: the next bit is the top one
  int m_count = 0;
  uint64_t m_offset = 0;  // file offset of m_data[0]; past the end it keeps counting
  const uint8_t* m_data = nullptr;
  const uint8_t* m_next = nullptr;
  const uint8_t* m_end = nullptr;
  bool m_readFailed = false;
};

}  // namespace rkarc::tar
