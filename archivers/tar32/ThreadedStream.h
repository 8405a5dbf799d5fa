// Decodes another ByteStream on a thread of its own, a few blocks ahead of
// the reader, so that decompression and writing the members run on two
// cores, as a decompressor piped into tar does. The inner stream's checks
// and errors reach the reader unchanged, in order; memory stays at
// kBlocks x kBlockSize whatever the archive's size.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class ThreadedStream : public ByteStream {
 public:
  // `make` builds the inner stream with the input-position callback it is
  // given; `onInput` hears that position on the reading thread only.
  using InnerFactory = std::function<std::unique_ptr<ByteStream>(std::function<void(uint64_t)>)>;
  ThreadedStream(const InputFile& file, const InnerFactory& make, std::function<void(uint64_t)> onInput);
  ~ThreadedStream() override;

  int64_t read(void* out, size_t n) override;
  // The rest of the current block, without a copy.
  int64_t readView(const void** data) override;

  static constexpr size_t kBlockSize = 256 * 1024;
  static constexpr size_t kBlocks = 6;

 private:
  struct Block {
    // Not cleared: 1.5 MB of memset per archive was a third of the CPU time
    // of a run over 1,000 small archives; a small one touches a page or two.
    std::unique_ptr<char[]> data{new char[kBlockSize]};
    size_t size = 0;  // 0 with `last`: the verified end, or the inner stream's failure
    bool last = false;
  };

  void decode();
  bool nextBlock();
  // Makes sure unread bytes are at hand: 1 yes, 0 at the end, -1 on damage.
  int available();
  void reportInput();

  std::unique_ptr<ByteStream> m_inner;
  std::function<void(uint64_t)> m_onInput;
  std::atomic<uint64_t> m_inputAt{0};
  uint64_t m_reportedAt = 0;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::unique_ptr<Block>> m_free, m_filled;
  bool m_stop = false;

  std::unique_ptr<Block> m_current;  // the reader's block
  size_t m_offset = 0;
  std::thread m_thread;  // last: started once everything above exists
};

}  // namespace rkarc::tar
