// The decoding of an LZH or ARJ archive, or of a gzip or bzip2 file (also a
// .tar.gz or .tar.bz2), alone: everything decoded and its CRCs checked, the
// output thrown away. What is left when no file is written, for
// bench/run_bench.py's "limit" column and for comparing decoders under
// callgrind. bzip2 runs on TAR32's usual threads (RUKASU2_BZIP2_THREADS).
// Usage: decode_to_null ARCHIVE.lzh|.arj|.gz|.bz2 ...
#include <zlib.h>

#include <cstdio>
#include <string>

#include "archivers/tar32/Bzip2Stream.h"
#include "archivers/tar32/GzipStream.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjDecoder.h"
#include "archivers/unlha32/LzhDecoder.h"
#include "archivers/unlha32/LzhReader.h"

namespace {

bool DecodeLzh(const std::string& path) {
  rkarc::ArchiveFile file;
  if (!file.open(path)) return false;
  rkarc::LzhReader reader(file);
  if (!reader.open()) return false;
  bool ok = true;
  for (auto entry = reader.next(); entry.kind != rkarc::LzhReader::Entry::Kind::End; entry = reader.next()) {
    if (entry.kind != rkarc::LzhReader::Entry::Kind::Member) return false;
    if (entry.header.isDirectory()) continue;
    const auto result = rkarc::LzhDecoder::Decode(file, entry.header, [](const uint8_t*, size_t) { return true; });
    ok = ok && result == rkarc::LzhDecoder::Result::Ok;
  }
  return ok;
}

bool DecodeArj(const std::string& path) {
  rkarc::ArjArchive archive;
  if (archive.open(path) != 0) return false;
  rkarc::ArjHeader header;
  bool ok = true;
  for (auto step = archive.next(header); step == rkarc::ArjArchive::Step::Member; step = archive.next(header)) {
    auto decoder = rkarc::ArjDecoder::create(archive.file(), header);
    if (!decoder) continue;
    uLong crc = crc32(0L, Z_NULL, 0);
    const bool whole = decoder->decode([&](const uint8_t* data, size_t size) {
      crc = crc32(crc, data, static_cast<uInt>(size));
      return true;
    });
    ok = ok && whole && static_cast<uint32_t>(crc) == header.crc;
  }
  return ok;
}

// Through TAR32's streams, which check every CRC on the way to the end.
bool DecodeStream(const std::string& path, bool bzip2) {
  const rkarc::InputFile file(path);
  if (!file.ok()) return false;
  const auto ignore = [](uint64_t) {};
  if (bzip2) return rkarc::tar::Bzip2Stream(file, ignore).verify();
  return rkarc::tar::GzipStream(file, ignore).verify();
}

}  // namespace

int main(int argc, char** argv) {
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    bool ok = false;
    if (path.ends_with(".arj") || path.ends_with(".ARJ")) ok = DecodeArj(path);
    else if (path.ends_with(".gz") || path.ends_with(".bz2")) ok = DecodeStream(path, path.ends_with(".bz2"));
    else ok = DecodeLzh(path);
    if (!ok) {
      std::fprintf(stderr, "decode_to_null: %s: failed\n", path.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}
