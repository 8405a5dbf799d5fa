// Decodes a stream on a thread of its own, a few blocks ahead of the reader,
// so that decompression and checking and writing the members run on two
// cores. The source's end or failure reaches the reader in order, after the
// bytes before it; memory stays at `blocks` x `blockSize`.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace rkarc {

class ReadAhead {
 public:
  // Up to `n` bytes; 0 at the end; -1 on failure. Called on the thread only,
  // until its first answer that is not above 0.
  using Source = std::function<int64_t(uint8_t* out, size_t n)>;
  ReadAhead(Source source, size_t blockSize, size_t blocks);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // As the source's reads, in the same order; after the last bytes, its last
  // answer (0 or -1) on every call.
  int64_t read(uint8_t* out, size_t n);
  // As read(), but the bytes stay in the block: `*data` points at them until
  // the next call.
  int64_t readView(const uint8_t** data);

 private:
  struct Block {
    // Not cleared: 1.5 MB of memset per archive was a third of the CPU time
    // of a run over 1,000 small archives; a small one touches a page or two.
    std::unique_ptr<uint8_t[]> data;
    size_t size = 0;
    bool last = false;  // the source answered `end` after these bytes
    int64_t end = 0;
  };
  void fill();
  // Makes sure unread bytes are at hand: false once the source has ended.
  bool available();

  Source m_source;
  const size_t m_blockSize;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::unique_ptr<Block>> m_free, m_filled;
  bool m_stop = false;
  std::unique_ptr<Block> m_current;  // the reader's block
  size_t m_offset = 0;
  std::thread m_thread;  // last: started once everything above exists
};

}  // namespace rkarc
