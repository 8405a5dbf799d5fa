// The LZMA family decoded with liblzma: xz (every block's check and the
// stream index verified; on more than two cores several blocks at a time),
// lzip (each member's CRC-32 and sizes) and the old .lzma format, which has
// no check at all. xz streams and lzip members may follow one another, xz
// streams with zero padding between them; what follows the last one is
// ByteStream::afterStream's to judge (docs/formats/GZIP-TAR.md sections 4 and 7).
#pragma once

#include <lzma.h>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class XzStream : public ByteStream {
 public:
  enum class Format { Xz, Lzip, Lzma };

  XzStream(const InputFile& file, Format format, std::function<void(uint64_t)> onInput);
  ~XzStream() override;

  int64_t read(void* out, size_t n) override;

 private:
  bool start();
  // After a stream's end: skips xz stream padding, then starts the next
  // stream or notes the end. False on damage.
  bool nextStream();
  int64_t decoderError(lzma_ret rc);
  const char* name() const;

  Format m_format;
  lzma_stream m_lz = LZMA_STREAM_INIT;
  bool m_ready = false;
  const unsigned char* m_next = nullptr;
  size_t m_available = 0;
};

}  // namespace rkarc::tar
