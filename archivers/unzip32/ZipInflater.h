// A ZIP member's deflate data decoded with ISA-L's inflate (Deflate64 data
// with our own decoder, which nothing else here reads), about three times
// zlib's speed, instead of through libarchive, with the checks libarchive's
// seekable reader makes and the same outcome: the data is read up to the
// central directory's compressed size and must end exactly there (else the
// member fails), decoding stops the archive where libarchive's would, and
// the uncompressed size and CRC-32 must be the central directory's.
#pragma once

#include <isa-l/igzip_lib.h>

#include <memory>
#include <vector>

#include "archivers/common/Module.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/libarchive/InputFile.h"
#include "archivers/unzip32/ZipDirectory.h"

namespace rkarc::zip {

class ZipInflater {
 public:
  ZipInflater(const InputFile& file, Progress& progress);

  // Decoded by ISA-L rather than libarchive: members whose local header says
  // deflate and not encrypted (libarchive goes by the local header), that
  // have data, and whose data ends before `limit` (the central directory's
  // end: past it libarchive is shown other bytes).
  static bool Takes(const ZipRecord& record, uint64_t limit);

  // Writes the member into `sink` and commits or aborts it. False where
  // libarchive would have ended the archive: deflate data it cannot decode,
  // or a file that ends inside the member.
  bool extract(const ZipRecord& record, MemberSink& sink);

 private:
  // Aborts the member; false when the archive ends with it.
  static bool fail(MemberSink& sink, int32_t code, const char* what, bool fatal);
  // The checks after the data: its compressed and decoded lengths and CRC-32.
  static bool finishMember(const ZipRecord& record, MemberSink& sink, uint64_t used, uint64_t produced, uint32_t crc);
  bool extractDeflate64(const ZipRecord& record, MemberSink& sink);

  const InputFile& m_file;
  Progress& m_progress;
  std::unique_ptr<inflate_state> m_state;  // ~100 KB, made for the first deflate member
  std::vector<uint8_t> m_in, m_out;
};

}  // namespace rkarc::zip
