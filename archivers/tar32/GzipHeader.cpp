// Reading a gzip member header; see GzipHeader.h.
#include "archivers/tar32/GzipHeader.h"

#include <vector>

#include "archivers/libarchive/Bytes.h"

namespace rkarc::tar {
namespace {

constexpr unsigned char kExtra = 0x04, kName = 0x08;
constexpr size_t kMaxName = 4096;

}  // namespace

GzipHeader GzipHeader::Read(const InputFile& file) {
  GzipHeader header;
  std::vector<unsigned char> h(10 + 2 + 65535 + kMaxName);
  const int64_t got = file.readAt(0, h.data(), h.size());
  if (got < 10 || h[0] != 0x1F || h[1] != 0x8B || h[2] != 8) return header;
  if (const uint32_t mtime = Le32(&h[4]); mtime != 0) header.mtime = mtime;
  size_t at = 10;
  if (h[3] & kExtra) at += 2 + (static_cast<size_t>(got) >= 12 ? Le16(&h[10]) : 0);
  if (!(h[3] & kName)) return header;
  std::string name;
  for (; at < static_cast<size_t>(got) && h[at] != 0; ++at) name += static_cast<char>(h[at]);
  if (at < static_cast<size_t>(got)) header.name = std::move(name);  // a name without its end is not trusted
  return header;
}

}  // namespace rkarc::tar
