// Walking RAR 4 and RAR 5 block headers; see RarHeaders.h.
#include "archivers/unrar32/RarHeaders.h"

#include <zlib.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "archivers/common/Bytes.h"
#include "archivers/unrar32/RarNames.h"

namespace rkarc::rar {
namespace {

constexpr char kBadHeader[] = "ヘッダーが壊れています";
constexpr char kPastEnd[] = "データがファイルの終わりを越えています";

// The walk stops at a header it cannot read: damaged, or cut off where the
// file ends before `end`.
void BadHeader(const InputFile& file, uint64_t end, RarHeaders& out) {
  out.damage = kBadHeader;
  out.cutShort = end > file.size();
}

// The walk stops where a block's data runs past the end of the file.
void PastEnd(RarHeaders& out) {
  out.damage = kPastEnd;
  out.cutShort = true;
}

uint32_t Crc32(const unsigned char* p, size_t n) { return static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(n))); }

// RAR 4 header CRC: the low 16 bits of the CRC-32 of the header after the
// field. RAR 2.x headers holding a comment cover only what precedes it.
bool HeaderCrcOk4(const std::vector<unsigned char>& h, uint8_t type, uint16_t flags) {
  const uint16_t want = Le16(&h[0]);
  if ((Crc32(&h[2], h.size() - 2) & 0xFFFF) == want) return true;
  size_t covered = 0;
  if (type == 0x73 && (flags & 0x0002)) covered = 13;
  if (type == 0x74 && (flags & 0x0008) && h.size() >= 32) covered = ((flags & 0x100) ? 40 : 32) + Le16(&h[26]);
  return covered > 2 && covered < h.size() && (Crc32(&h[2], covered - 2) & 0xFFFF) == want;
}

// RAR 4 file header fields (the header's size is checked to hold them).
bool ReadFile4(const std::vector<unsigned char>& h, uint16_t flags, uint64_t at, RarFile& f) {
  const size_t nameAt = (flags & 0x100) ? 40 : 32;
  const size_t nameSize = Le16(&h[26]);
  if (nameAt + nameSize > h.size()) return false;
  const std::string_view stored(reinterpret_cast<const char*>(&h[nameAt]), nameSize);
  f.unicode = (flags & 0x200) != 0;
  const size_t zero = stored.find('\0');
  f.name = f.unicode ? stored.substr(0, zero) : stored;
  if (f.unicode) f.utf8Name = zero == stored.npos ? f.name : Rar4UnicodeName(f.name, stored.substr(zero + 1));
  f.headerAt = at;
  f.encrypted = (flags & 0x04) != 0;
  f.splitBefore = (flags & 0x01) != 0;
  f.splitAfter = (flags & 0x02) != 0;
  f.directory = (flags & 0xE0) == 0xE0;
  f.olderVersion = (flags & 0x0800) != 0;
  f.size = Le32(&h[11]) | ((flags & 0x100) ? static_cast<uint64_t>(Le32(&h[36])) << 32 : 0);
  f.host = h[15];
  f.crc = Le32(&h[16]);
  f.dosTime = Le32(&h[20]);
  f.unpackVersion = h[24];
  f.method = h[25];
  f.dataAt = at + h.size();
  f.packedSize = Le32(&h[7]) | ((flags & 0x100) ? static_cast<uint64_t>(Le32(&h[32])) << 32 : 0);
  f.attributes = Le32(&h[28]);
  return true;
}

// RAR 4 (blocks of HEAD_CRC, HEAD_TYPE, HEAD_FLAGS, HEAD_SIZE [, ADD_SIZE]).
void Walk4(const InputFile& file, uint64_t start, RarHeaders& out) {
  std::vector<unsigned char> h;
  for (uint64_t pos = start + 7; pos < file.size();) {
    h.resize(7);
    if (!file.readExact(pos, h.data(), 7)) return BadHeader(file, pos + 7, out);
    const uint8_t type = h[2];
    const uint16_t flags = Le16(&h[3]), size = Le16(&h[5]);
    if (size < 7) return void(out.damage = kBadHeader);
    h.resize(size);
    if (!file.readExact(pos, h.data(), size) || !HeaderCrcOk4(h, type, flags)) return BadHeader(file, pos + size, out);
    uint64_t data = 0;
    if (type == 0x74 || type == 0x7A) {  // file and service headers always carry PACK_SIZE
      if (size < 32 || ((flags & 0x100) && size < 40)) return void(out.damage = kBadHeader);
      data = Le32(&h[7]) | ((flags & 0x100) ? static_cast<uint64_t>(Le32(&h[32])) << 32 : 0);
    } else if (flags & 0x8000) {
      if (size < 11) return void(out.damage = kBadHeader);
      data = Le32(&h[7]);
    }
    if (type == 0x73) {
      if (flags & 0x0080) return void(out.headersEncrypted = true);
      out.volume = (flags & 0x0001) != 0;
      out.solid = (flags & 0x0008) != 0;
      out.partNaming = (flags & 0x0010) != 0;
      if (flags & 0x0100) out.volumeNumber = 0;
    }
    if (type == 0x74) {
      RarFile f;
      if (!ReadFile4(h, flags, pos - start, f)) return void(out.damage = kBadHeader);
      out.files.push_back(std::move(f));
    }
    if (type == 0x7B) {
      out.moreVolumes = (flags & 0x0001) != 0;
      const size_t numberAt = (flags & 0x0002) ? 11 : 7;
      if ((flags & 0x0008) && size >= numberAt + 2) out.volumeNumber = Le16(&h[numberAt]);
      return void(out.endSeen = true);
    }
    pos += size + data;
    if (pos > file.size()) return PastEnd(out);
  }
}

// Reads one vint at `at` of the header, advancing `at`.
bool Vint(const std::vector<unsigned char>& h, size_t& at, uint64_t& value) {
  const size_t used = at < h.size() ? ReadVint(&h[at], h.size() - at, value) : 0;
  at += used;
  return used != 0;
}

// RAR 5 file header fields after the common ones; sets `f` from them and the extra area.
bool ReadFile5(const std::vector<unsigned char>& h, size_t at, size_t extraAt, RarFile& f) {
  uint64_t fileFlags = 0, unpacked = 0, attributes = 0, compression = 0, host = 0, nameSize = 0;
  if (!Vint(h, at, fileFlags) || !Vint(h, at, unpacked) || !Vint(h, at, attributes)) return false;
  at += (fileFlags & 0x02) ? 4 : 0;
  if (fileFlags & 0x04) {
    if (at + 4 > extraAt) return false;
    f.crc = Le32(&h[at]);
    at += 4;
  }
  if (!Vint(h, at, compression) || !Vint(h, at, host) || !Vint(h, at, nameSize)) return false;
  f.stored5 = (fileFlags & 0x01) == 0 && ((compression >> 7) & 7) == 0;
  if (at + nameSize > extraAt) return false;
  f.name.assign(reinterpret_cast<const char*>(&h[at]), static_cast<size_t>(nameSize));
  while (extraAt < h.size()) {
    uint64_t recordSize = 0, recordType = 0;
    size_t p = extraAt;
    if (!Vint(h, p, recordSize) || recordSize == 0 || p + recordSize > h.size()) return false;
    size_t q = p;
    if (!Vint(h, q, recordType)) return false;
    const size_t recordEnd = p + static_cast<size_t>(recordSize);
    if (recordType == 1) f.encrypted = true;
    uint64_t versionFlags = 0, version = 0;
    if (recordType == 4 && Vint(h, q, versionFlags) && Vint(h, q, version) && version != 0) f.olderVersion = true;
    uint64_t redirection = 0, redirectionFlags = 0, targetSize = 0;
    if (recordType == 5 && Vint(h, q, redirection) && Vint(h, q, redirectionFlags) && Vint(h, q, targetSize) &&
        redirection == 5 && targetSize <= recordEnd - std::min(q, recordEnd))
      f.copyOf.assign(reinterpret_cast<const char*>(h.data() + q), static_cast<size_t>(targetSize));
    extraAt = recordEnd;
  }
  return true;
}

// RAR 5 main archive header: the archive flags, then the volume number
// unless this is the first volume.
bool ReadMain5(const std::vector<unsigned char>& h, size_t at, RarHeaders& out) {
  uint64_t archiveFlags = 0, number = 0;
  if (!Vint(h, at, archiveFlags)) return false;
  out.volume = (archiveFlags & 0x01) != 0;
  out.partNaming = true;
  if ((archiveFlags & 0x02) && !Vint(h, at, number)) return false;
  out.volumeNumber = static_cast<int>(std::min<uint64_t>(number, 1u << 30));
  return true;
}

// RAR 5 (blocks of CRC32, vint size, then type, flags, [extra size], [data size]).
void Walk5(const InputFile& file, uint64_t pos, RarHeaders& out) {
  std::vector<unsigned char> h;
  while (pos < file.size()) {
    unsigned char head[7];
    const int64_t got = file.readAt(pos, head, sizeof head);
    uint64_t size = 0;
    const size_t used = got > 4 ? ReadVint(head + 4, static_cast<size_t>(got - 4), size) : 0;
    if (used == 0 || used > 3 || size == 0 || size > 2 * 1024 * 1024)
      return BadHeader(file, used == 0 ? pos + sizeof head : pos, out);
    h.resize(used + static_cast<size_t>(size));
    if (!file.readExact(pos + 4, h.data(), h.size()) || Crc32(h.data(), h.size()) != Le32(head))
      return BadHeader(file, pos + 4 + h.size(), out);
    size_t at = used;
    uint64_t type = 0, flags = 0, extraSize = 0, dataSize = 0;
    if (!Vint(h, at, type) || !Vint(h, at, flags) || ((flags & 0x01) && !Vint(h, at, extraSize)) ||
        ((flags & 0x02) && !Vint(h, at, dataSize)) || extraSize > h.size() - at)
      return void(out.damage = kBadHeader);
    if (type == 4) return void(out.headersEncrypted = true);
    if (type == 1 && !ReadMain5(h, at, out)) return void(out.damage = kBadHeader);
    if (type == 5) {
      uint64_t endFlags = 0;
      if (!Vint(h, at, endFlags)) return void(out.damage = kBadHeader);
      out.moreVolumes = (endFlags & 0x01) != 0;
    }
    if (type == 2) {
      RarFile f;
      f.splitBefore = (flags & 0x08) != 0;
      f.splitAfter = (flags & 0x10) != 0;
      if (!ReadFile5(h, at, h.size() - static_cast<size_t>(extraSize), f)) return void(out.damage = kBadHeader);
      out.files.push_back(std::move(f));
    }
    if (type == 5) return void(out.endSeen = true);
    pos += 4 + h.size() + dataSize;
    if (pos > file.size()) return PastEnd(out);
  }
}

}  // namespace

RarHeaders RarHeaders::Read(const InputFile& file, const RarStart& start) {
  RarHeaders out;
  if (start.version == 5) {
    Walk5(file, start.offset + 8, out);
  } else {
    Walk4(file, start.offset, out);
  }
  return out;
}

}  // namespace rkarc::rar
