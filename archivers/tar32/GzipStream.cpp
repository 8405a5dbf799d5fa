// gzip decoding with full checks; see GzipStream.h.
#include "archivers/tar32/GzipStream.h"

#include <algorithm>
#include <limits>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {

GzipStream::GzipStream(const InputFile& file, std::function<void(uint64_t)> onInput)
    : ByteStream(file, std::move(onInput)), m_state(std::make_unique<inflate_state>()) {
  isal_inflate_init(m_state.get());
  startMember();
  m_next = input().data();
}

void GzipStream::startMember() {
  isal_inflate_reset(m_state.get());
  m_state->crc_flag = ISAL_GZIP;  // header parsed and checked, CRC-32 and ISIZE verified
  m_flagsChecked = false;
}

// ISA-L passes over the reserved flag bits (5-7), which RFC 1952 says must
// be zero; a member that sets them is refused, as zlib and gzip do.
bool GzipStream::flagsAreKnown() {
  m_flagsChecked = true;
  while (m_available < 4 && fill(m_next, m_available)) {
  }
  return m_available < 4 || (m_next[3] & 0xE0) == 0;  // a shorter rest is a cut member
}

int64_t GzipStream::inflateError(int rc) {
  // A header CRC that does not match is a damaged header; only the trailer's
  // CRC-32 and length are checksums of the data.
  if (rc == ISAL_INCORRECT_CHECKSUM && m_state->wrapper_flag != 0) return fail(kErrChecksum, "CRCが一致しません（gzip）");
  const char* what = rc == ISAL_INCORRECT_CHECKSUM    ? "ヘッダーのCRCが一致しません"
                     : rc == ISAL_INVALID_WRAPPER     ? "ヘッダーが正しくありません"
                     : rc == ISAL_UNSUPPORTED_METHOD ? "deflate以外の圧縮方式です"
                                                      : "deflateデータが正しくありません";
  return fail(kErrDamaged, std::string("gzipデータが壊れています（") + what + "）");
}

bool GzipStream::nextMember() {
  // The magic, then deflate, the only method.
  static constexpr StreamStart kStarts[] = {{"\x1F\x8B\x08", 2}};
  const AfterStream after = afterStream(m_next, m_available, kStarts);
  if (after == AfterStream::Another) startMember();
  return after != AfterStream::Failed;
}

int64_t GzipStream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  inflate_state& s = *m_state;
  const auto room = static_cast<uint32_t>(std::min<size_t>(n, std::numeric_limits<uint32_t>::max()));
  s.next_out = static_cast<uint8_t*>(out);
  s.avail_out = room;
  while (!ended() && s.avail_out == room) {
    if (!m_flagsChecked && !flagsAreKnown()) {
      if (errorCode() != 0) return -1;
      return fail(kErrDamaged, "gzipデータが壊れています（未定義のフラグがあります）");
    }
    // At the end of the file the decoder still gets a call without input:
    // it may hold the last bytes of the member and only lack room for them.
    const bool more = m_available > 0 || fill(m_next, m_available);
    if (errorCode() != 0) return -1;
    s.next_in = const_cast<uint8_t*>(m_next);
    s.avail_in = static_cast<uint32_t>(m_available);
    const int rc = isal_inflate(&s);
    const bool progressed = s.avail_in != m_available || s.avail_out != room || s.block_state == ISAL_BLOCK_FINISH;
    m_next = s.next_in;
    m_available = s.avail_in;
    if (rc != ISAL_DECOMP_OK) return inflateError(rc);
    if (s.block_state == ISAL_BLOCK_FINISH) {
      if (!nextMember()) return -1;
    } else if (!more && !progressed) {
      return fail(kErrDamaged, "gzipデータが途中で切れています");
    }
  }
  return static_cast<int64_t>(room - s.avail_out);
}

}  // namespace rkarc::tar
