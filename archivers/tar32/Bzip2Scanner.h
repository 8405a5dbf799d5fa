// Finds where bzip2 blocks and end-of-stream markers may begin: every bit
// position of the file where one of their 48-bit magics occurs, in file
// order. Compressed data can hold the same bits by chance; the reader tells
// the true ones by where each block it decoded ends.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::tar {

class Bzip2Scanner {
 public:
  struct Mark {
    uint64_t bit = 0;
    bool end = false;  // the end-of-stream magic, else a block's
    int level = 9;     // of the last stream header ("BZh1"-"BZh9") seen before it
  };

  explicit Bzip2Scanner(const InputFile& file);

  // The next mark; false at the end of the file or after a read error.
  bool next(Mark& mark);
  bool readFailed() const { return m_readFailed; }

 private:
  bool scanChunk();
  void found(uint64_t byte, int shift, bool end);

  const InputFile& m_file;
  std::vector<uint8_t> m_chunk;
  uint64_t m_offset = 0;  // of the next chunk
  int m_level = 9;
  bool m_readFailed = false;
  std::deque<Mark> m_marks;
};

}  // namespace rkarc::tar
