// Threads that decode bzip2 blocks ahead of the reader, in the order they
// were handed in, each with a decoder (and its 9 MB of tables) of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/tar32/Bzip2Block.h"

namespace rkarc::tar {

struct Bzip2Job {
  enum class State { Queued, Running, Done };
  uint64_t start = 0;
  int level = 9;
  State state = State::Queued;   // guarded by the workers' mutex
  std::atomic<bool> stop{false};  // the block is not needed any more
  Bzip2Block block;
};

class Bzip2Workers {
 public:
  Bzip2Workers(const InputFile& file, unsigned threads);
  ~Bzip2Workers();
  Bzip2Workers(const Bzip2Workers&) = delete;
  Bzip2Workers& operator=(const Bzip2Workers&) = delete;

  std::shared_ptr<Bzip2Job> submit(uint64_t start, int level);
  // The job's block, decoded.
  Bzip2Block& wait(Bzip2Job& job);
  // The job's block is not needed: it is skipped, or its decoding stops soon.
  void drop(Bzip2Job& job);
  // Decodes a block on this thread, outside the queue (a block that must be
  // decoded again for another level; rare, so its decoder is made then).
  void decodeHere(uint64_t start, int level, Bzip2Block& block);

 private:
  void work();
  std::shared_ptr<Bzip2Job> take();
  void run(Bzip2BlockDecoder& decoder, Bzip2Job& job);

  const InputFile& m_file;
  std::mutex m_mutex;
  std::condition_variable m_queued, m_done;
  std::deque<std::shared_ptr<Bzip2Job>> m_queue;
  bool m_stop = false;
  std::unique_ptr<Bzip2BlockDecoder> m_own;  // decodeHere()'s
  std::vector<std::thread> m_threads;        // last: started once everything above exists
};

}  // namespace rkarc::tar
