// bzip2 decoding with full checks; see Bzip2Stream.h.
#include "archivers/tar32/Bzip2Stream.h"

#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {

Bzip2Stream::Bzip2Stream(const InputFile& file, std::function<void(uint64_t)> onInput)
    : ByteStream(file, std::move(onInput)) {
  m_next = input().data();
  start();
}

Bzip2Stream::~Bzip2Stream() { stop(); }

bool Bzip2Stream::start() {
  std::memset(&m_bz, 0, sizeof m_bz);
  m_ready = BZ2_bzDecompressInit(&m_bz, 0, 0) == BZ_OK;
  return m_ready;
}

void Bzip2Stream::stop() {
  if (m_ready) BZ2_bzDecompressEnd(&m_bz);
  m_ready = false;
}

bool Bzip2Stream::nextStream() {
  switch (afterStream(m_next, m_available, "BZh")) {
    case AfterStream::Another:
      if (restart()) return true;
      fail(kErrMemory, "メモリが足りません");
      return false;
    case AfterStream::End:
      m_done = true;
      return true;
    case AfterStream::Failed:
      break;
  }
  return false;
}

// A new decoder for the next stream, writing on where the last one stopped:
// initialising clears the output pointer and room of the current read().
bool Bzip2Stream::restart() {
  char* const out = m_bz.next_out;
  const unsigned room = m_bz.avail_out;
  stop();
  if (!start()) return false;
  m_bz.next_out = out;
  m_bz.avail_out = room;
  return true;
}

int64_t Bzip2Stream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  if (!m_ready) return fail(kErrMemory, "メモリが足りません");
  m_bz.next_out = static_cast<char*>(out);
  m_bz.avail_out = static_cast<unsigned>(n);
  while (!m_done && m_bz.avail_out == n) {
    if (m_available == 0 && !fill(m_next, m_available)) {
      if (errorCode() != 0) return -1;
      return fail(kErrDamaged, "bzip2データが途中で切れています");
    }
    m_bz.next_in = reinterpret_cast<char*>(const_cast<unsigned char*>(m_next));
    m_bz.avail_in = static_cast<unsigned>(m_available);
    const int rc = BZ2_bzDecompress(&m_bz);
    m_next = reinterpret_cast<const unsigned char*>(m_bz.next_in);
    m_available = m_bz.avail_in;
    if (rc == BZ_STREAM_END) {
      if (!nextStream()) return -1;
    } else if (rc == BZ_DATA_ERROR) {
      return fail(kErrChecksum, "CRCが一致しません（bzip2）");
    } else if (rc == BZ_MEM_ERROR) {
      return fail(kErrMemory, "メモリが足りません");
    } else if (rc != BZ_OK) {
      return fail(kErrDamaged, "bzip2データが壊れています");
    }
  }
  return static_cast<int64_t>(n - m_bz.avail_out);
}

}  // namespace rkarc::tar
