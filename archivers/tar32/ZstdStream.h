// Zstandard (RFC 8878) decoded with libzstd, which checks each frame's
// content checksum when the frame has one (zstd writes it by default).
// Frames and skippable frames follow one another (zstd -T, pzstd, cat);
// what follows the last frame is ByteStream::afterStream's to judge
// (docs/formats/GZIP-TAR.md sections 4 and 7).
#pragma once

#include <zstd.h>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class ZstdStream : public ByteStream {
 public:
  ZstdStream(const InputFile& file, std::function<void(uint64_t)> onInput);
  ~ZstdStream() override;

  int64_t read(void* out, size_t n) override;

  // The first four bytes of a frame or of a skippable frame.
  static bool IsFrameStart(const unsigned char* p);

 private:
  // After a frame's end: goes on with the next frame, or notes the end. False on damage.
  bool nextFrame();
  int64_t decoderError(size_t rc);

  ZSTD_DStream* m_zs = nullptr;
  const unsigned char* m_next = nullptr;
  size_t m_available = 0;
};

}  // namespace rkarc::tar
