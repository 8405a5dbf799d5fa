// Deflate64 ("enhanced deflate"), which 7-Zip writes in ZIP (method 9) and 7z
// and Windows' compressed folders write for large files: deflate with a 64 KiB
// window, length code 285 meaning 3 plus 16 extra bits, and distance codes 30
// and 31 (32769 and 49153 plus 14 extra bits). Neither zlib nor ISA-L reads it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace rkarc {

class Deflate64Decoder {
 public:
  // Fills `buffer` with compressed bytes: how many, 0 where the input ends, -1 on a read error.
  using Source = std::function<int64_t(uint8_t* buffer, size_t size)>;
  enum class Status { Running, End, Damaged, Truncated, ReadError };

  explicit Deflate64Decoder(Source source);

  // Up to `size` decoded bytes into `out`: how many, 0 at the end of the
  // stream (its last block decoded whole), -1 when status() says why not.
  int64_t read(uint8_t* out, size_t size);
  Status status() const { return m_status; }
  // The compressed bytes the stream took, once it has ended.
  uint64_t consumed() const { return m_taken - static_cast<uint64_t>(m_count / 8); }

  // A code looked up whole in 2^15 entries of symbol << 4 | length (0: no code).
  struct Table {
    std::vector<uint16_t> entries;
    int bits = 0;
    bool build(const uint8_t* lengths, int symbols, int bits);
  };

 private:
  enum class Block { Header, Stored, Huffman };

  bool refillInput();  // false where the input ends or fails
  bool fill(int n);    // at least n bits at hand; false where the input ends
  uint32_t take(int n);
  bool bits(int n, uint32_t& value);
  int decode(const Table& table);  // a symbol, or -1 (status set)
  bool startBlock();
  bool readDynamicTables();
  bool readStoredHeader();
  bool fail(Status status);
  void decodeChunk();
  bool decodeSymbols(size_t limit);
  bool copyStored(size_t limit);
  void copyMatch(uint32_t length, uint32_t distance);

  Source m_source;
  Status m_status = Status::Running;
  std::vector<uint8_t> m_in;
  size_t m_inPos = 0, m_inEnd = 0;
  uint64_t m_taken = 0;  // bytes taken from the source into the bit buffer
  uint64_t m_bitBuffer = 0;
  int m_count = 0;
  bool m_inputEnded = false;

  Block m_block = Block::Header;
  bool m_last = false;
  uint32_t m_storedLeft = 0;
  Table m_literals, m_distances;

  // The last 64 KiB decoded, then what was decoded since; [m_read, m_write) is not handed out yet.
  std::vector<uint8_t> m_window;
  size_t m_read = 0, m_write = 0;
  uint64_t m_total = 0;  // bytes decoded
};

}  // namespace rkarc
