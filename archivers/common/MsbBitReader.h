// Most-significant-bit-first reading of one member's compressed data, the bit
// order of LZH's -lh4- to -lh7- and of ARJ's methods 1 to 4. The data is pulled
// from the archive in 64 KB blocks and loaded into a 64-bit window eight bytes
// at a time. Past the data's end the reader yields zero bits and counts them:
// only damaged data gets there, and overrun() says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

namespace rkarc {

class MsbBitReader {
 public:
  // Reads up to `size` bytes at file offset `offset`: the count, 0 at the
  // end of the file, -1 on a read error.
  using Source = std::function<int64_t(uint64_t offset, uint8_t* buffer, size_t size)>;

  // The data is [begin, end) of the file; `slackBytes` zero bytes past its end
  // still count as data (for writers whose size field falls a little short).
  MsbBitReader(Source source, uint64_t begin, uint64_t end, uint32_t slackBytes = 0);

  // The state the decoding loops copy into locals: a store through a byte
  // pointer could alias a member, which would keep it out of a register.
  struct Bits {
    uint64_t window = 0;  // left-aligned: the next bit is bit 63
    int count = 0;        // valid bits in window, at most 63
    const uint8_t* next = nullptr;

    uint32_t peek16() const { return static_cast<uint32_t>(window >> 48); }
    // The next n bits, 1 <= n <= 32.
    uint32_t peek(int n) const { return static_cast<uint32_t>(window >> (64 - n)); }
    void skip(int n) {
      window <<= n;
      count -= n;
    }
    // The next n bits, 0 <= n <= 32, consumed.
    uint32_t get(int n) {
      const auto v = static_cast<uint32_t>((window >> 1) >> (63 - n));  // no branch for n == 0
      skip(n);
      return v;
    }
    // The same for 1 <= n <= 32.
    uint32_t take(int n) {
      const uint32_t v = peek(n);
      skip(n);
      return v;
    }
  };

  // At least 56 valid bits in `bits` afterwards.
  void refill(Bits& bits) {
    if (static_cast<size_t>(m_last - bits.next) >= 8) [[likely]] {
      uint64_t word;
      std::memcpy(&word, bits.next, 8);
      bits.window |= __builtin_bswap64(word) >> bits.count;
      bits.next += (63 - bits.count) >> 3;
      bits.count |= 56;
    } else {
      bits = refillBlock(bits);
    }
  }

  Bits& bits() { return m_bits; }

  // For the block headers: the next n bits (0 <= n <= 32), and the next 16 without consuming them.
  uint32_t get(int n) {
    refill(m_bits);
    return m_bits.get(n);
  }
  uint32_t peek16() {
    refill(m_bits);
    return m_bits.peek16();
  }
  void skip(int n) { m_bits.skip(n); }  // after peek16, n <= 16

  // More bits were consumed than the data (and its slack) holds.
  bool overrun() const { return consumedBits() > (m_size + m_slack) * 8; }
  bool readError() const { return m_readError; }

 private:
  Bits refillBlock(Bits bits);
  uint64_t consumedBits() const {
    return (m_blockStart + static_cast<uint64_t>(m_bits.next - m_block.get())) * 8 - static_cast<uint64_t>(m_bits.count);
  }

  Source m_source;
  uint64_t m_offset;  // file offset of the next block
  uint64_t m_end;
  uint64_t m_size;
  uint64_t m_slack;
  uint64_t m_blockStart = 0;  // data offset of m_block[0]; zero bytes past the end count on
  size_t m_blockSize;          // room for the few bytes left of a block and the zero padding
  std::unique_ptr<uint8_t[]> m_block;
  const uint8_t* m_last;  // end of the bytes in m_block
  Bits m_bits;
  bool m_readError = false;
};

}  // namespace rkarc
