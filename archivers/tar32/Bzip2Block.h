// One bzip2 block decoded on its own, from its 48-bit magic to its last bit
// (docs/formats/GZIP-TAR.md section 3): the Huffman-coded move-to-front symbols,
// the inverse Burrows-Wheeler transform, the runs of four and the block's
// CRC. Every check libbz2 makes is made here, in the same order, so that a
// damaged or cut block fails where and as it fails there; libbz2 itself
// cannot start at a block, which parallel decoding needs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/tar32/Bzip2Bits.h"
#include "archivers/tar32/Bzip2Rows.h"

namespace rkarc::tar {

struct Bzip2Block {
  enum class Status { Ok, Damaged, Cut, Unreadable, NoMemory };
  Status status = Status::Damaged;
  uint64_t start = 0;  // bit position of the block's magic
  uint64_t end = 0;    // bit position after its last bit
  int level = 9;       // the stream's block size (1-9) it was decoded for
  uint32_t crc = 0;    // the block's CRC, checked
  // The block's bytes; with `runs`, still with its runs of four, to be
  // expanded while they are read (they stood for more than kMaxBytes).
  std::vector<uint8_t> bytes;
  bool runs = false;

  static constexpr size_t kMaxBytes = 4 * 1024 * 1024;
};

class Bzip2BlockDecoder {
 public:
  Bzip2BlockDecoder();
  ~Bzip2BlockDecoder();
  Bzip2BlockDecoder(const Bzip2BlockDecoder&) = delete;
  Bzip2BlockDecoder& operator=(const Bzip2BlockDecoder&) = delete;

  // Decodes the block whose magic begins at bit `start` of `file`, in a
  // stream of block size `level`. `stop` (may be null) ends the work early;
  // the block is then not Ok.
  void decode(const InputFile& file, uint64_t start, int level, Bzip2Block& block,
              const std::atomic<bool>* stop = nullptr);

  struct Tables;  // the block's byte map, selectors and codes

 private:
  bool readBlock(Bzip2Bits& in, int level);
  bool readByteMap(Bzip2Bits& in);
  bool readSelectors(Bzip2Bits& in);
  bool readCodes(Bzip2Bits& in);
  bool readSymbols(Bzip2Bits& in, int level);
  void undoTransform();
  bool expand(Bzip2Block& block);
  uint32_t* links();

  std::unique_ptr<Tables> m_tables;
  std::vector<uint8_t> m_input;  // Bzip2Bits's buffer
  struct FreeLinks {
    void operator()(uint32_t* p) const;
  };
  // The block's bytes, then beside them the inverse transform's links
  // (900,000 words): made on first use.
  std::unique_ptr<uint32_t, FreeLinks> m_links;
  Bzip2Rows m_rows;
  std::vector<uint8_t> m_bytes;  // the block's bytes in order, before the runs of four
  uint32_t m_storedCrc = 0;
  bool m_randomised = false;
  uint32_t m_origin = 0;  // the original string's row (origPtr)
  uint32_t m_count = 0;   // bytes in the block (nblock)
};

}  // namespace rkarc::tar
