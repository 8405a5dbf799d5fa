// The linear history buffer; see LzWindow.h.
#include "archivers/common/LzWindow.h"

#include <algorithm>
#include <utility>

namespace rkarc {
namespace {
// Past the chunk: the longest copy (256 bytes) started just before its end,
// and the 8-byte steps of a copy running 7 bytes over.
constexpr size_t kSlack = 512;
}  // namespace

LzWindow::LzWindow(size_t reach, std::optional<uint8_t> before, uint64_t total, Output output)
    : m_chunk(static_cast<size_t>(std::min<uint64_t>(kChunk, total))),
      m_buffer(new uint8_t[kHistory + m_chunk + kSlack]),
      m_reach(std::min(reach, kHistory)),
      m_floor(before ? m_buffer.get() : cursor()),
      m_output(std::move(output)) {
  if (before) std::memset(m_buffer.get(), *before, kHistory);
}

uint8_t* LzWindow::flush(uint8_t* at) {
  if (!finish(at)) return nullptr;
  std::memmove(m_buffer.get(), at - kHistory, kHistory);
  m_floor = m_buffer.get();  // a whole chunk was decoded: the history is full
  return cursor();
}

bool LzWindow::finish(uint8_t* at) {
  const uint8_t* from = cursor();
  return at == from || m_output(from, static_cast<size_t>(at - from));
}

}  // namespace rkarc
