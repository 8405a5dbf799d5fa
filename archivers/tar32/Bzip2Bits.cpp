// Reading a bzip2 file's bits; see Bzip2Bits.h.
#include "archivers/tar32/Bzip2Bits.h"

#include <algorithm>
#include <cstring>

namespace rkarc::tar {
namespace {

constexpr size_t kReadSize = 128 * 1024;
constexpr size_t kSlack = 8;  // zero bytes after the data, so that whole words can be loaded

uint64_t LoadBigEndian64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return __builtin_bswap64(v);
}

}  // namespace

Bzip2Bits::Bzip2Bits(const InputFile& file, std::vector<uint8_t>& buffer, const std::atomic<bool>* stop)
    : m_file(file), m_buffer(buffer), m_stop(stop) {
  if (m_buffer.size() < kReadSize + kSlack) m_buffer.assign(kReadSize + kSlack, 0);
}

void Bzip2Bits::start(uint64_t bitPosition) {
  m_bits = 0;
  m_count = 0;
  m_offset = bitPosition / 8;
  m_data = m_next = m_end = m_buffer.data();
  load();
  skip(static_cast<int>(std::min<uint64_t>(bitPosition % 8, static_cast<uint64_t>(m_count))));
}

// Reads the next block of the file at m_offset; past the end (or when
// stopped, or after a read error) the block is zeros.
void Bzip2Bits::load() {
  m_offset += static_cast<uint64_t>(m_next - m_data);
  m_data = m_next = m_buffer.data();
  int64_t got = 0;
  const bool stopped = m_stop && m_stop->load(std::memory_order_relaxed);
  if (!stopped && !m_readFailed && m_offset < m_file.size()) {
    got = m_file.readAt(m_offset, m_buffer.data(), kReadSize);
    if (got < 0) {
      m_readFailed = true;
      got = 0;
    }
  }
  if (got == 0) {
    std::memset(m_buffer.data(), 0, kReadSize);
    got = static_cast<int64_t>(kReadSize);
  }
  std::memset(m_buffer.data() + got, 0, kSlack);
  m_end = m_buffer.data() + got;
  refill();
}

// Tops the bit buffer up to at least 56 bits.
void Bzip2Bits::refill() {
  if (m_end - m_next >= 8) {
    m_bits |= LoadBigEndian64(m_next) >> m_count;
    m_next += (63 - m_count) >> 3;
    m_count |= 56;
    return;
  }
  while (m_count <= 56) {
    if (m_next == m_end) {
      // Bits still held stay; only the bytes behind them are replaced.
      load();
      return;
    }
    m_bits |= static_cast<uint64_t>(*m_next++) << (56 - m_count);
    m_count += 8;
  }
}

}  // namespace rkarc::tar
