// gzip (RFC 1952) decoded with ISA-L's inflate, which checks each member's
// method, header CRC, CRC-32 and ISIZE; the reserved flag bits are checked
// here. Members follow one another; what follows the last member is
// ByteStream::afterStream's to judge (docs/formats/GZIP-TAR.md section 4).
#pragma once

#include <isa-l/igzip_lib.h>

#include <memory>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class GzipStream : public ByteStream {
 public:
  GzipStream(const InputFile& file, std::function<void(uint64_t)> onInput);

  int64_t read(void* out, size_t n) override;

 private:
  // After a member's end: starts the next member, or notes the end. False on damage.
  bool nextMember();
  void startMember();
  bool flagsAreKnown();
  int64_t inflateError(int rc);

  std::unique_ptr<inflate_state> m_state;  // ~100 KB: kept off the stack and out of line
  bool m_flagsChecked = false;
  const unsigned char* m_next = nullptr;
  size_t m_available = 0;
};

}  // namespace rkarc::tar
