// Decoding ahead on a second thread; see ThreadedStream.h.
#include "archivers/tar32/ThreadedStream.h"

#include <algorithm>
#include <cstring>

namespace rkarc::tar {

ThreadedStream::ThreadedStream(const InputFile& file, const InnerFactory& make, std::function<void(uint64_t)> onInput)
    : ByteStream(file, nullptr), m_onInput(std::move(onInput)) {
  m_inner = make([this](uint64_t at) { m_inputAt.store(at, std::memory_order_relaxed); });
  for (size_t i = 0; i < kBlocks; ++i) m_free.push_back(std::make_unique<Block>());
  m_thread = std::thread([this] { decode(); });
}

ThreadedStream::~ThreadedStream() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

void ThreadedStream::decode() {
  for (;;) {
    std::unique_ptr<Block> block;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return m_stop || !m_free.empty(); });
      if (m_stop) return;
      block = std::move(m_free.front());
      m_free.pop_front();
    }
    block->size = 0;
    block->last = false;
    while (block->size < kBlockSize) {
      const int64_t n = m_inner->read(block->data.get() + block->size, kBlockSize - block->size);
      if (n <= 0) {
        block->last = true;
        break;
      }
      block->size += static_cast<size_t>(n);
    }
    const bool last = block->last;
    {
      std::lock_guard lock(m_mutex);
      m_filled.push_back(std::move(block));
    }
    m_changed.notify_all();
    if (last) return;
  }
}

// Hands the used block back and takes the next filled one; false at the end
// (the inner stream's error, if any, and what it ignored are then copied into
// this stream).
bool ThreadedStream::nextBlock() {
  std::unique_lock lock(m_mutex);
  if (m_current) {
    if (m_current->last) {
      if (m_inner->errorCode() != 0) fail(m_inner->errorCode(), m_inner->errorReason());
      setIgnoredTrailingBytes(m_inner->ignoredTrailingBytes());
      return false;
    }
    m_free.push_back(std::move(m_current));
    m_changed.notify_all();
  }
  m_changed.wait(lock, [this] { return !m_filled.empty(); });
  m_current = std::move(m_filled.front());
  m_filled.pop_front();
  m_offset = 0;
  return true;
}

int ThreadedStream::available() {
  if (errorCode() != 0) return -1;
  while (!m_current || m_offset == m_current->size) {
    if (!nextBlock()) return errorCode() != 0 ? -1 : 0;
  }
  return 1;
}

void ThreadedStream::reportInput() {
  const uint64_t at = m_inputAt.load(std::memory_order_relaxed);
  if (m_onInput && at != m_reportedAt) {
    m_reportedAt = at;
    m_onInput(at);
  }
}

int64_t ThreadedStream::read(void* out, size_t n) {
  if (const int state = available(); state <= 0) return state;
  const size_t take = std::min(n, m_current->size - m_offset);
  std::memcpy(out, m_current->data.get() + m_offset, take);
  m_offset += take;
  reportInput();
  return static_cast<int64_t>(take);
}

int64_t ThreadedStream::readView(const void** data) {
  if (const int state = available(); state <= 0) return state;
  *data = m_current->data.get() + m_offset;
  const size_t take = m_current->size - m_offset;
  m_offset = m_current->size;  // the block goes back to the decoder only on the next call
  reportInput();
  return static_cast<int64_t>(take);
}

}  // namespace rkarc::tar
