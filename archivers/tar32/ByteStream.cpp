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

ByteStream::AfterStream ByteStream::afterStream(const unsigned char*& next, size_t& available,
                                                std::string_view magic) {
  if (available < magic.size()) fill(next, available);
  if (errorCode() != 0) return AfterStream::Failed;
  if (available == 0) {
    m_ended = true;
    return AfterStream::End;
  }
  if (!magic.empty() && available >= magic.size() && std::memcmp(next, magic.data(), magic.size()) == 0)
    return AfterStream::Another;
  uint64_t trailing = 0;
  bool onlyZeros = true;
  do {
    onlyZeros = onlyZeros && std::all_of(next, next + available, [](unsigned char c) { return c == 0; });
    trailing += available;
    available = 0;
  } while (fill(next, available));
  if (errorCode() != 0) return AfterStream::Failed;
  if (!onlyZeros) m_ignoredTrailing = trailing;
  m_ended = true;
  return AfterStream::End;
}

void ByteStream::restartInputAt(uint64_t offset) {
  m_offset = std::min(offset, m_file.size());
  reportInput(m_offset);
}

int64_t ByteStream::fail(int32_t code, std::string reason) {
  if (m_errorCode == 0) {
    m_errorCode = code;
    m_errorReason = std::move(reason);
  }
  return -1;
}

}  // namespace rkarc::tar
