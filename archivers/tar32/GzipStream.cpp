// gzip decoding with full checks; see GzipStream.h.
#include "archivers/tar32/GzipStream.h"

#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {

GzipStream::GzipStream(const InputFile& file, std::function<void(uint64_t)> onInput)
    : ByteStream(file, std::move(onInput)) {
  m_ready = inflateInit2(&m_z, 15 + 16) == Z_OK;  // 16: gzip wrapper only, with its checks
  m_next = input().data();
}

GzipStream::~GzipStream() {
  if (m_ready) inflateEnd(&m_z);
}

int64_t GzipStream::inflateError(int rc) {
  if (rc == Z_MEM_ERROR) return fail(kErrMemory, "メモリが足りません");
  const std::string message = m_z.msg ? m_z.msg : "";
  if (message.find("check") != std::string::npos) return fail(kErrChecksum, "CRCが一致しません（gzip: " + message + "）");
  return fail(kErrDamaged, "gzipデータが壊れています（" + message + "）");
}

bool GzipStream::nextMember() {
  switch (afterStream(m_next, m_available, "\x1F\x8B")) {
    case AfterStream::Another:
      inflateReset(&m_z);
      return true;
    case AfterStream::End:
      m_done = true;
      return true;
    case AfterStream::Failed:
      break;
  }
  return false;
}

int64_t GzipStream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  if (!m_ready) return fail(kErrMemory, "メモリが足りません");
  m_z.next_out = static_cast<Bytef*>(out);
  m_z.avail_out = static_cast<uInt>(n);
  while (!m_done && m_z.avail_out == n) {
    if (m_available == 0 && !fill(m_next, m_available)) {
      if (errorCode() != 0) return -1;
      return fail(kErrDamaged, "gzipデータが途中で切れています");
    }
    m_z.next_in = const_cast<Bytef*>(m_next);
    m_z.avail_in = static_cast<uInt>(m_available);
    const int rc = inflate(&m_z, Z_NO_FLUSH);
    m_next = m_z.next_in;
    m_available = m_z.avail_in;
    if (rc == Z_STREAM_END) {
      if (!nextMember()) return -1;
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
      return inflateError(rc);
    }
  }
  return static_cast<int64_t>(n - m_z.avail_out);
}

}  // namespace rkarc::tar
