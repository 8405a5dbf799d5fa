// The read-ahead thread; see ReadAhead.h.
#include "archivers/common/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace rkarc {

ReadAhead::ReadAhead(Source source, size_t blockSize, size_t blocks)
    : m_source(std::move(source)), m_blockSize(blockSize) {
  for (size_t i = 0; i < blocks; ++i)
    m_free.push_back(std::make_unique<Block>(Block{std::unique_ptr<uint8_t[]>(new uint8_t[blockSize])}));
  m_thread = std::thread([this] { fill(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

void ReadAhead::fill() {
  for (bool last = false; !last;) {
    std::unique_ptr<Block> block;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return m_stop || !m_free.empty(); });
      if (m_stop) return;
      block = std::move(m_free.front());
      m_free.pop_front();
    }
    block->size = 0;
    while (block->size < m_blockSize) {
      const int64_t got = m_source(block->data.get() + block->size, m_blockSize - block->size);
      if (got <= 0) {
        block->end = got;
        last = true;
        break;
      }
      block->size += static_cast<size_t>(got);
    }
    block->last = last;
    {
      std::lock_guard lock(m_mutex);
      m_filled.push_back(std::move(block));
    }
    m_changed.notify_all();
  }
}

// Hands the used block back and waits for the next filled one.
bool ReadAhead::available() {
  while (!m_current || m_offset == m_current->size) {
    if (m_current && m_current->last) return false;
    std::unique_lock lock(m_mutex);
    if (m_current) m_free.push_back(std::move(m_current));
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_filled.empty(); });
    m_current = std::move(m_filled.front());
    m_filled.pop_front();
    m_offset = 0;
  }
  return true;
}

int64_t ReadAhead::read(uint8_t* out, size_t n) {
  if (!available()) return m_current->end;
  const size_t take = std::min(n, m_current->size - m_offset);
  std::memcpy(out, m_current->data.get() + m_offset, take);
  m_offset += take;
  return static_cast<int64_t>(take);
}

int64_t ReadAhead::readView(const uint8_t** data) {
  if (!available()) return m_current->end;
  *data = m_current->data.get() + m_offset;
  const size_t take = m_current->size - m_offset;
  m_offset = m_current->size;  // the block goes back to the thread only on the next call
  return static_cast<int64_t>(take);
}

}  // namespace rkarc
