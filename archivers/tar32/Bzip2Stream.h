// bzip2 decoded block by block on several threads. Blocks are independent:
// their 48-bit magics are found anywhere in the file (Bzip2Scanner), each is
// decoded on its own (Bzip2Block) a few blocks ahead of the reader, and the
// reader takes them in file order, each only where the one before it ended,
// so that a magic that happens to occur inside a block is passed over. Every
// block's CRC is checked before its bytes are handed out, and each stream's
// combined CRC at its end. Streams may follow one another (pbzip2, lbzip2,
// cat); a stream without its end marker is damage; what follows the last
// stream is ByteStream::afterStream's to judge (docs/formats/GZIP-TAR.md section 4).
// Memory stays at a few MB per thread whatever the file's size.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "archivers/tar32/ByteStream.h"
#include "archivers/tar32/Bzip2Runs.h"
#include "archivers/tar32/Bzip2Scanner.h"
#include "archivers/tar32/Bzip2Workers.h"

namespace rkarc::tar {

class Bzip2Stream : public ByteStream {
 public:
  // `threads` (at least 1) decode ahead of the reader.
  Bzip2Stream(const InputFile& file, std::function<void(uint64_t)> onInput, unsigned threads = DefaultThreads());
  ~Bzip2Stream() override;

  int64_t read(void* out, size_t n) override;
  // The rest of the current block, without a copy.
  int64_t readView(const void** data) override;

  // RUKASU2_BZIP2_THREADS when it holds 1-64; otherwise the processors this
  // process may run on, at most kMaxThreads (each costs about 6 MB).
  static unsigned DefaultThreads();
  static constexpr unsigned kMaxThreads = 3;

 private:
  struct Ahead {
    Bzip2Scanner::Mark mark;
    std::shared_ptr<Bzip2Job> job;  // for a block
  };

  // 1 with bytes at hand, 0 at the verified end, -1 on failure.
  int available();
  bool nextBlock();
  void lookAhead();
  Ahead* markAtExpected();
  bool takeBlock(Ahead ahead);
  bool endStream();
  bool startStream(uint64_t offset);
  bool failNoMagic();
  bool failBlock(Bzip2Block::Status status);
  bool stop(int32_t code, const char* reason);  // fail(), as false
  bool currentHasBytes() const;

  const InputFile& m_file;
  Bzip2Scanner m_scanner;
  std::deque<Ahead> m_ahead;  // marks found and not yet passed, in file order
  unsigned m_jobs = 0;        // blocks among them
  unsigned m_limit;           // blocks decoded or decoding ahead at most
  std::vector<uint8_t> m_bits;  // Bzip2Bits's buffer for the reader's own reads

  bool m_started = false;
  uint64_t m_expect = 0;  // bit where the next block or end marker must begin
  int m_level = 9;        // the current stream's block size
  uint32_t m_combined = 0;

  std::shared_ptr<Bzip2Job> m_current;  // the block being read
  size_t m_offset = 0;
  Bzip2Runs m_runs;  // for a block that keeps its runs of four
  std::vector<uint8_t> m_view;

  std::unique_ptr<Bzip2Workers> m_workers;  // last: its threads stop first
};

}  // namespace rkarc::tar
