// Input handling shared by the decompressing streams; see ByteStream.h.
#include "archivers/tar32/ByteStream.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {
namespace {

using StreamStart = ByteStream::StreamStart;

// Bytes at hand before judging what follows a stream.
constexpr size_t kLookAhead = 64;
// A whole start this few bytes in is taken for a stream all the same.
constexpr size_t kShiftedStarts = 8;

// The bits of p[0, n) that differ from `start` under its masks, and how many of those bytes differ.
struct Difference {
  int bits = 0;
  size_t bytes = 0;
};
Difference Compare(const unsigned char* p, size_t n, const StreamStart& start) {
  Difference d;
  for (size_t i = 0; i < n; ++i) {
    const auto mask = static_cast<unsigned char>(i < start.masks.size() ? start.masks[i] : 0xFF);
    const auto off = static_cast<unsigned>((p[i] ^ static_cast<unsigned char>(start.bytes[i])) & mask);
    d.bits += std::popcount(off);
    d.bytes += off != 0;
  }
  return d;
}

bool BeginsStream(const unsigned char* p, size_t available, std::span<const StreamStart> starts) {
  return std::ranges::any_of(starts, [&](const StreamStart& s) {
    return available >= s.magic && Compare(p, s.magic, s).bits == 0;
  });
}

// Whether the bytes may be a stream whose start was damaged: within two bits
// of a start (all of a lone byte), one byte of a start replaced, or a whole
// start a few bytes in. Text, signatures and random data are none of these.
bool MayBeDamagedStream(const unsigned char* p, size_t available, std::span<const StreamStart> starts) {
  return std::ranges::any_of(starts, [&](const StreamStart& s) {
    const size_t n = std::min(available, s.bytes.size());
    const Difference d = Compare(p, n, s);
    if (d.bits <= (n == 1 ? 0 : 2) || (n >= 3 && d.bytes <= 1)) return true;
    for (size_t at = 1; at <= kShiftedStarts && at + s.bytes.size() <= available; ++at)
      if (Compare(p + at, s.bytes.size(), s).bits == 0) return true;
    return false;
  });
}

}  // namespace

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
                                                std::span<const StreamStart> starts) {
  while (available < kLookAhead && fill(next, available)) {
  }
  if (errorCode() != 0) return AfterStream::Failed;
  if (available > 0 && BeginsStream(next, available, starts)) return AfterStream::Another;
  uint64_t trailing = 0;
  for (;;) {  // zero padding
    const unsigned char* data = std::find_if(next, next + available, [](unsigned char c) { return c != 0; });
    trailing += static_cast<uint64_t>(data - next);
    available -= static_cast<size_t>(data - next);
    next = data;
    if (available > 0) break;
    if (!fill(next, available)) {
      if (errorCode() != 0) return AfterStream::Failed;
      m_ended = true;
      return AfterStream::End;
    }
  }
  while (available < kLookAhead && fill(next, available)) {
  }
  if (errorCode() != 0) return AfterStream::Failed;
  if (MayBeDamagedStream(next, available, starts)) {
    fail(kErrDamaged, "圧縮データが壊れています（後に続くストリームの先頭が正しくありません）");
    return AfterStream::Failed;
  }
  do {
    trailing += available;
    available = 0;
  } while (fill(next, available));
  if (errorCode() != 0) return AfterStream::Failed;
  m_ignoredTrailing = trailing;
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
