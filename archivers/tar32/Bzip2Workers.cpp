// Decoding bzip2 blocks on several threads; see Bzip2Workers.h.
#include "archivers/tar32/Bzip2Workers.h"

namespace rkarc::tar {

Bzip2Workers::Bzip2Workers(const InputFile& file, unsigned threads) : m_file(file) {
  for (unsigned i = 0; i < threads; ++i) m_threads.emplace_back([this] { work(); });
}

Bzip2Workers::~Bzip2Workers() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
    for (const auto& job : m_queue) job->stop = true;
  }
  m_queued.notify_all();
  for (std::thread& t : m_threads) t.join();
}

std::shared_ptr<Bzip2Job> Bzip2Workers::submit(uint64_t start, int level) {
  auto job = std::make_shared<Bzip2Job>();
  job->start = start;
  job->level = level;
  {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(job);
  }
  m_queued.notify_one();
  return job;
}

// The next job not dropped; the caller holds the mutex.
std::shared_ptr<Bzip2Job> Bzip2Workers::take() {
  while (!m_queue.empty()) {
    std::shared_ptr<Bzip2Job> job = std::move(m_queue.front());
    m_queue.pop_front();
    if (job->stop) {
      job->state = Bzip2Job::State::Done;
      continue;
    }
    job->state = Bzip2Job::State::Running;
    return job;
  }
  return nullptr;
}

void Bzip2Workers::run(Bzip2BlockDecoder& decoder, Bzip2Job& job) {
  try {
    decoder.decode(m_file, job.start, job.level, job.block, &job.stop);
  } catch (const std::bad_alloc&) {
    job.block.bytes.clear();
    job.block.status = Bzip2Block::Status::NoMemory;
  }
  {
    std::lock_guard lock(m_mutex);
    job.state = Bzip2Job::State::Done;
  }
  m_done.notify_all();
}

void Bzip2Workers::work() {
  std::unique_ptr<Bzip2BlockDecoder> decoder;
  for (;;) {
    std::shared_ptr<Bzip2Job> job;
    {
      std::unique_lock lock(m_mutex);
      m_queued.wait(lock, [this] { return m_stop || !m_queue.empty(); });
      if (m_stop) return;
      job = take();
    }
    if (!job) continue;
    if (!decoder) decoder = std::make_unique<Bzip2BlockDecoder>();
    run(*decoder, *job);
  }
}

Bzip2Block& Bzip2Workers::wait(Bzip2Job& job) {
  std::unique_lock lock(m_mutex);
  m_done.wait(lock, [&] { return job.state == Bzip2Job::State::Done; });
  return job.block;
}

void Bzip2Workers::drop(Bzip2Job& job) { job.stop = true; }

void Bzip2Workers::decodeHere(uint64_t start, int level, Bzip2Block& block) {
  if (!m_own) m_own = std::make_unique<Bzip2BlockDecoder>();
  m_own->decode(m_file, start, level, block);
}

}  // namespace rkarc::tar
