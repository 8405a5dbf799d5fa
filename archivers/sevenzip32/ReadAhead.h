// Decodes a stream on a thread of its own, a few blocks ahead of the reader,
// so that decompression and checking and writing the members run on two
// cores. The source's end or failure reaches the reader in order, after the
// bytes before it; memory stays at kBlocks x kBlockSize.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace rkarc::sevenzip {

class ReadAhead {
 public:
  // Up to `n` bytes; 0 at the end; -1 on failure. Called on the thread only.
  using Source = std::function<int64_t(uint8_t* out, size_t n)>;
  explicit ReadAhead(Source source);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // As the source's read, in the same order.
  int64_t read(uint8_t* out, size_t n);

  static constexpr size_t kBlockSize = 1024 * 1024;
  static constexpr size_t kBlocks = 4;

 private:
  struct Block {
    std::vector<uint8_t> data;
    size_t size = 0;
    int64_t end = 0;  // with size 0: the source's last answer, 0 or -1
  };
  void decode();

  Source m_source;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Block> m_free, m_filled;
  bool m_stop = false;
  Block m_current;
  size_t m_offset = 0;
  bool m_ended = false;
  std::thread m_thread;  // last: started once everything above exists
};

}  // namespace rkarc::sevenzip
