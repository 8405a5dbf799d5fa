// The read-ahead thread; see ReadAhead.h.
#include "archivers/sevenzip32/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace rkarc::sevenzip {

ReadAhead::ReadAhead(Source source) : m_source(std::move(source)) {
  for (size_t i = 0; i < kBlocks; ++i) m_free.push_back({std::vector<uint8_t>(kBlockSize), 0, 0});
  m_thread = std::thread([this] { decode(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

void ReadAhead::decode() {
  for (bool last = false; !last;) {
    Block block;
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return m_stop || !m_free.empty(); });
      if (m_stop) return;
      block = std::move(m_free.front());
      m_free.pop_front();
    }
    block.size = 0;
    while (block.size < block.data.size()) {
      const int64_t got = m_source(block.data.data() + block.size, block.data.size() - block.size);
      if (got <= 0) {
        block.end = got;
        last = true;
        break;
      }
      block.size += static_cast<size_t>(got);
    }
    {
      std::lock_guard lock(m_mutex);
      m_filled.push_back(std::move(block));
      // The end or failure comes as an empty block after the last bytes.
      if (last && m_filled.back().size > 0) m_filled.push_back({{}, 0, m_filled.back().end});
    }
    m_changed.notify_all();
  }
}

int64_t ReadAhead::read(uint8_t* out, size_t n) {
  while (m_offset == m_current.size) {
    if (m_ended) return m_current.end;
    std::unique_lock lock(m_mutex);
    if (!m_current.data.empty()) m_free.push_back(std::move(m_current));
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_filled.empty(); });
    m_current = std::move(m_filled.front());
    m_filled.pop_front();
    m_offset = 0;
    m_ended = m_current.size == 0;
  }
  const size_t take = std::min(n, m_current.size - m_offset);
  std::memcpy(out, m_current.data.data() + m_offset, take);
  m_offset += take;
  return static_cast<int64_t>(take);
}

}  // namespace rkarc::sevenzip
