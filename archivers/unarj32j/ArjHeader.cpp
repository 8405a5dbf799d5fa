// Reading and checking one ARJ header block; see ArjHeader.h and docs/formats/ARJ.md.
#include "archivers/unarj32j/ArjHeader.h"

#include <zlib.h>

#include <cstring>
#include <vector>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

constexpr uint16_t kMaxBasicHeader = 2600;
constexpr uint8_t kMinFirstHeaderSize = 30;

uint32_t Crc32(const uint8_t* data, size_t size) {
  return static_cast<uint32_t>(::crc32(::crc32(0L, Z_NULL, 0), data, static_cast<uInt>(size)));
}

ArjHeaderStatus ShortRead(const ArjFile& file) {
  return file.readFailed() ? ArjHeaderStatus::ReadError : ArjHeaderStatus::Truncated;
}

// The fixed fields, then the name and the comment, each ending in a NUL inside
// the basic header.
bool ParseBasic(const std::vector<uint8_t>& basic, ArjHeader& out) {
  const uint8_t* b = basic.data();
  out.firstHeaderSize = b[0];
  if (out.firstHeaderSize < kMinFirstHeaderSize || out.firstHeaderSize + 2u > basic.size()) return false;
  out.version = b[1];
  out.minVersion = b[2];
  out.hostOs = b[3];
  out.flags = b[4];
  out.method = b[5];
  out.fileType = b[6];
  out.timestamp = Le32(b + 8);
  out.compressedSize = Le32(b + 12);
  out.originalSize = Le32(b + 16);
  out.crc = Le32(b + 20);
  out.mode = Le16(b + 26);

  const char* text = reinterpret_cast<const char*>(b);
  const size_t nameStart = out.firstHeaderSize;
  const void* nameEnd = std::memchr(text + nameStart, 0, basic.size() - nameStart);
  if (!nameEnd) return false;
  out.name.assign(text + nameStart, static_cast<const char*>(nameEnd));
  const size_t commentStart = nameStart + out.name.size() + 1;
  const void* commentEnd = std::memchr(text + commentStart, 0, basic.size() - commentStart);
  if (!commentEnd) return false;
  out.comment.assign(text + commentStart, static_cast<const char*>(commentEnd));
  return true;
}

}  // namespace

ArjHeaderStatus ReadArjHeader(ArjFile& file, uint64_t offset, ArjHeader& out) {
  out = ArjHeader{};
  out.offset = offset;
  uint8_t head[4];
  if (!file.readExact(offset, head, sizeof head)) return ShortRead(file);
  if (head[0] != 0x60 || head[1] != 0xEA) return ArjHeaderStatus::NoHeader;
  const uint16_t basicSize = Le16(head + 2);
  if (basicSize == 0) {
    out.dataOffset = offset + 4;
    return ArjHeaderStatus::End;
  }
  if (basicSize > kMaxBasicHeader || basicSize < kMinFirstHeaderSize + 2) return ArjHeaderStatus::BadSize;

  std::vector<uint8_t> basic(basicSize + 4u);
  if (!file.readExact(offset + 4, basic.data(), basic.size())) return ShortRead(file);
  if (Le32(basic.data() + basicSize) != Crc32(basic.data(), basicSize)) return ArjHeaderStatus::BadCrc;
  basic.resize(basicSize);
  if (!ParseBasic(basic, out)) return ArjHeaderStatus::BadSize;

  // Extended headers: (size, data, CRC-32) until a size of 0. No ARJ version
  // writes them; they are checked and skipped. Each one takes at least 6 bytes
  // of the file, so the loop ends at the file's end at the latest.
  uint64_t pos = offset + 4 + basicSize + 4;
  for (;;) {
    uint8_t sizeBytes[2];
    if (!file.readExact(pos, sizeBytes, sizeof sizeBytes)) return ShortRead(file);
    pos += 2;
    const uint16_t extSize = Le16(sizeBytes);
    if (extSize == 0) break;
    std::vector<uint8_t> ext(extSize + 4u);
    if (!file.readExact(pos, ext.data(), ext.size())) return ShortRead(file);
    if (Le32(ext.data() + extSize) != Crc32(ext.data(), extSize)) return ArjHeaderStatus::BadCrc;
    pos += ext.size();
  }
  out.dataOffset = pos;
  return ArjHeaderStatus::Ok;
}

const char* ArjHeaderProblem(ArjHeaderStatus status) {
  switch (status) {
    case ArjHeaderStatus::NoHeader: return "ARJヘッダがありません";
    case ArjHeaderStatus::BadSize: return "ARJヘッダが壊れています";
    case ArjHeaderStatus::BadCrc: return "ARJヘッダのCRCが一致しません";
    case ArjHeaderStatus::Truncated: return "書庫が途中で切れています";
    case ArjHeaderStatus::ReadError: return "書庫を読めません";
    case ArjHeaderStatus::Ok:
    case ArjHeaderStatus::End: break;
  }
  return "";
}

}  // namespace rkarc
