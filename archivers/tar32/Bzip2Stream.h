// bzip2 decoded with libbz2, which checks every block's CRC and the stream
// CRC. Streams may follow one another (pbzip2, lbzip2, cat); a stream
// without its end marker is damage; what follows the last stream is
// ByteStream::afterStream's to judge (docs/formats/GZIP-TAR.md section 3).
#pragma once

#include <bzlib.h>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class Bzip2Stream : public ByteStream {
 public:
  Bzip2Stream(const InputFile& file, std::function<void(uint64_t)> onInput);
  ~Bzip2Stream() override;

  int64_t read(void* out, size_t n) override;

 private:
  // After a stream's end: starts the next one, or notes the end. False on damage.
  bool nextStream();
  bool restart();
  bool start();
  void stop();

  bz_stream m_bz{};
  bool m_ready = false;
  bool m_done = false;
  const unsigned char* m_next = nullptr;
  size_t m_available = 0;
};

}  // namespace rkarc::tar
