// gzip (RFC 1952) decoded with zlib, which checks each member's CRC-32 and
// ISIZE, the header CRC and the reserved flag bits. Members follow one
// another; what follows the last member is ByteStream::afterStream's to
// judge (docs/formats/GZIP-TAR.md section 1).
#pragma once

#include <zlib.h>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class GzipStream : public ByteStream {
 public:
  GzipStream(const InputFile& file, std::function<void(uint64_t)> onInput);
  ~GzipStream() override;

  int64_t read(void* out, size_t n) override;

 private:
  // After a member's end: starts the next member, or notes the end. False on damage.
  bool nextMember();
  int64_t inflateError(int rc);

  z_stream m_z{};
  bool m_ready = false;
  bool m_done = false;
  const unsigned char* m_next = nullptr;
  size_t m_available = 0;
};

}  // namespace rkarc::tar
