// Decoding ahead on a second thread; see ThreadedStream.h.
#include "archivers/tar32/ThreadedStream.h"

namespace rkarc::tar {

ThreadedStream::ThreadedStream(const InputFile& file, const InnerFactory& make, std::function<void(uint64_t)> onInput)
    : ByteStream(file, nullptr), m_onInput(std::move(onInput)) {
  m_inner = make([this](uint64_t at) { m_inputAt.store(at, std::memory_order_relaxed); });
  m_ahead = std::make_unique<ReadAhead>(
      [this](uint8_t* out, size_t n) { return m_inner->read(out, n); }, kBlockSize, kBlocks);
}

ThreadedStream::~ThreadedStream() = default;

int64_t ThreadedStream::settle(int64_t got) {
  if (got <= 0) {
    if (m_inner->errorCode() != 0) fail(m_inner->errorCode(), m_inner->errorReason());
    setIgnoredTrailingBytes(m_inner->ignoredTrailingBytes());
    return errorCode() != 0 ? -1 : 0;
  }
  const uint64_t at = m_inputAt.load(std::memory_order_relaxed);
  if (m_onInput && at != m_reportedAt) {
    m_reportedAt = at;
    m_onInput(at);
  }
  return got;
}

int64_t ThreadedStream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  return settle(m_ahead->read(static_cast<uint8_t*>(out), n));
}

int64_t ThreadedStream::readView(const void** data) {
  if (errorCode() != 0) return -1;
  const uint8_t* view = nullptr;
  const int64_t got = settle(m_ahead->readView(&view));
  *data = view;
  return got;
}

}  // namespace rkarc::tar
