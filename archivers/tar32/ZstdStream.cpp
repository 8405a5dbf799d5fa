// Zstandard decoding with full checks; see ZstdStream.h.
#include "archivers/tar32/ZstdStream.h"

#include <zstd_errors.h>

#include <string>

#include "archivers/common/Bytes.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {
namespace {

constexpr uint32_t kFrameMagic = 0xFD2FB528;
constexpr uint32_t kSkippableMagic = 0x184D2A50;  // the low four bits are free

}  // namespace

ZstdStream::ZstdStream(const InputFile& file, std::function<void(uint64_t)> onInput)
    : ByteStream(file, std::move(onInput)), m_zs(ZSTD_createDStream()) {
  m_next = input().data();
}

ZstdStream::~ZstdStream() { ZSTD_freeDStream(m_zs); }

bool ZstdStream::IsFrameStart(const unsigned char* p) {
  return Le32(p) == kFrameMagic || (Le32(p) & 0xFFFFFFF0) == kSkippableMagic;
}

int64_t ZstdStream::decoderError(size_t rc) {
  switch (ZSTD_getErrorCode(rc)) {
    case ZSTD_error_checksum_wrong:
      return fail(kErrChecksum, "CRCが一致しません（zstd）");
    case ZSTD_error_memory_allocation:
      return fail(kErrMemory, "メモリが足りません");
    case ZSTD_error_frameParameter_windowTooLarge:
      return fail(kErrMemory, "メモリが足りません（zstdのウインドウが大きすぎます）");
    default:
      return fail(kErrDamaged, std::string("zstdデータが壊れています（") + ZSTD_getErrorName(rc) + "）");
  }
}

bool ZstdStream::nextFrame() {
  static constexpr StreamStart kStarts[] = {{"\x28\xB5\x2F\xFD", 4}, {"\x50\x2A\x4D\x18", 4, "\xF0"}};
  // libzstd goes on by itself with a frame or skippable frame that follows.
  return afterStream(m_next, m_available, kStarts) != AfterStream::Failed;
}

int64_t ZstdStream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  if (m_zs == nullptr) return fail(kErrMemory, "メモリが足りません");
  ZSTD_outBuffer output{out, n, 0};
  while (!ended() && output.pos == 0) {
    if (m_available == 0 && !fill(m_next, m_available)) {
      if (errorCode() != 0) return -1;
      return fail(kErrDamaged, "zstdデータが途中で切れています");
    }
    ZSTD_inBuffer in{m_next, m_available, 0};
    const size_t rc = ZSTD_decompressStream(m_zs, &output, &in);
    m_next += in.pos;
    m_available -= in.pos;
    if (ZSTD_isError(rc)) return decoderError(rc);
    if (rc == 0 && !nextFrame()) return -1;  // a frame ended and all of it was handed out
  }
  return static_cast<int64_t>(output.pos);
}

}  // namespace rkarc::tar
