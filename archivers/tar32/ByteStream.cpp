// Input handling shared by the decompressing streams; see ByteStream.h.
#include "archivers/tar32/ByteStream.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {

bool ByteStream::verify() {
  for (;;) {
    const void* data = nullptr;
    const int64_t n = readView(&data);
    if (n == 0) return true;
    if (n < 0) return false;
  }
}

int64_t ByteStream::readView(const void** data) {
  if (m_view.empty()) m_view.resize(64 * 1024);
  *data = m_view.data();
  return read(m_view.data(), m_view.size());
}

bool ByteStream::fill(const unsigned char*& next, size_t& available) {
  if (available > 0 && next != m_in.data()) std::memmove(m_in.data(), next, available);
  next = m_in.data();
  if (atFileEnd() || available == m_in.size()) return false;
  const int64_t got = m_file.readAt(m_offset, m_in.data() + available, m_in.size() - available);
  if (got < 0) {
    fail(kErrArchiveOpen, "書庫を読めません");
    return false;
  }
  if (got == 0) {
    m_offset = m_file.size();
    return false;
  }
  m_offset += static_cast<uint64_t>(got);
  available += static_cast<size_t>(got);
  if (m_onInput) m_onInput(m_offset);
  return true;
}

bool ByteStream::onlyZerosRemain(const unsigned char* next, size_t available) {
  for (;;) {
    if (std::any_of(next, next + available, [](unsigned char c) { return c != 0; })) return false;
    available = 0;
    if (!fill(next, available)) return errorCode() == 0;
  }
}

int64_t ByteStream::fail(int32_t code, std::string reason) {
  if (m_errorCode == 0) {
    m_errorCode = code;
    m_errorReason = std::move(reason);
  }
  return -1;
}

}  // namespace rkarc::tar
