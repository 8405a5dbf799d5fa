// Block-wise loading of the compressed data; see MsbBitReader.h.
#include "archivers/common/MsbBitReader.h"

#include <algorithm>
#include <utility>

namespace rkarc {
namespace {
constexpr size_t kBlockSize = 64 * 1024;
constexpr size_t kPadding = 64;  // zero bytes put after the data's end at a time
}

MsbBitReader::MsbBitReader(Source source, uint64_t begin, uint64_t end, uint32_t slackBytes)
    : m_source(std::move(source)),
      m_offset(begin),
      m_end(std::max(begin, end)),
      m_size(m_end - begin),
      m_slack(slackBytes),
      m_blockSize(static_cast<size_t>(std::min<uint64_t>(kBlockSize, m_size + kPadding + 8))),
      m_block(new uint8_t[m_blockSize]) {
  m_last = m_block.get();
  m_bits.next = m_block.get();
}

MsbBitReader::Bits MsbBitReader::refillBlock(Bits bits) {
  // The few bytes not yet loaded move to the front, the next block follows them.
  const auto used = static_cast<size_t>(bits.next - m_block.get());
  const auto tail = static_cast<size_t>(m_last - bits.next);
  std::memmove(m_block.get(), bits.next, tail);
  m_blockStart += used;
  size_t filled = tail;
  while (filled < 8 && m_offset < m_end && !m_readError) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(m_blockSize - filled, m_end - m_offset));
    const int64_t n = m_source(m_offset, m_block.get() + filled, want);
    if (n <= 0) {
      // A file shorter than its headers say: the data ends here.
      m_readError = n < 0;
      m_size -= m_end - m_offset;
      m_offset = m_end;
      break;
    }
    m_offset += static_cast<uint64_t>(n);
    filled += static_cast<size_t>(n);
  }
  if (filled < 8) {
    // Past the data: zero bits, counted by overrun().
    std::memset(m_block.get() + filled, 0, kPadding);
    filled += kPadding;
  }
  m_last = m_block.get() + filled;
  bits.next = m_block.get();
  refill(bits);
  return bits;
}

}  // namespace rkarc
