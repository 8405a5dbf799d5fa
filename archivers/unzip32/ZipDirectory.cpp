// Locating and reading a ZIP central directory (APPNOTE 6.3; docs/formats/SFX.md).
#include "archivers/unzip32/ZipDirectory.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <cstring>

#include "archivers/common/Bytes.h"

namespace rkarc::zip {
namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kEnd64Signature = 0x06064b50;
constexpr uint32_t kLocator64Signature = 0x07064b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr uint64_t kMaxCentralDirectory = 512ull * 1024 * 1024;

// Applies the extra fields that matter here: ZIP64 sizes and offset, and the
// Info-ZIP Unicode path (0x7075), which counts only while it still belongs to
// the stored name (its CRC-32 matches).
void ReadExtra(const unsigned char* p, size_t size, uint32_t size32, uint32_t packed32, uint32_t offset32,
               ZipRecord& r) {
  while (size >= 4) {
    const uint16_t id = Le16(p);
    const uint16_t len = Le16(p + 2);
    if (static_cast<size_t>(len) + 4 > size) return;
    const unsigned char* d = p + 4;
    if (id == 0x0001) {
      size_t at = 0;
      if (size32 == 0xFFFFFFFF && at + 8 <= len) {
        r.size = Le64(d + at);
        at += 8;
      }
      if (packed32 == 0xFFFFFFFF) {
        r.packed = at + 8 <= len ? Le64(d + at) : 0;
        at += 8;  // the compressed size comes before the offset
      }
      if (offset32 == 0xFFFFFFFF && at + 8 <= len) r.localOffset = Le64(d + at);
    } else if (id == 0x7075 && len >= 5 && d[0] == 1) {
      const uint32_t crc = crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(r.name.data()), r.name.size());
      if (crc == Le32(d + 1)) {
        r.name.assign(reinterpret_cast<const char*>(d + 5), len - 5);
        r.charset = NameCharset::Utf8;
      }
    }
    p += 4 + len;
    size -= 4 + len;
  }
}

// How much of an extra block is whole fields. Some writers leave a last field
// that claims more bytes than the block holds, or a few stray bytes; other
// readers ignore them, and so does this one: the member's data still has to
// match its CRC-32.
size_t WellFormedExtra(const unsigned char* p, size_t size) {
  size_t at = 0;
  while (size - at >= 4 && 4u + Le16(p + at + 2) <= size - at) at += 4u + Le16(p + at + 2);
  return at;
}

void PutLe16(unsigned char* p, size_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
}

// The fields of an end record whose signature may be damaged: one disk,
// and at least one member (a run of zero bytes is no archive).
bool PlausibleEnd(const unsigned char* e) {
  return Le32(e + 4) == 0 && Le16(e + 8) == Le16(e + 10) && Le16(e + 8) != 0 && Le32(e + 12) != 0;
}

}  // namespace

bool ZipDirectory::readEnd(const InputFile& file, uint64_t position, bool anySignature, End& end) const {
  unsigned char e[kEndSize];
  if (!file.readExact(position, e, kEndSize) || (!anySignature && Le32(e) != kEndSignature)) return false;
  if (position + kEndSize + Le16(e + 20) > file.size()) return false;
  // A ZIP64 end record decides, whatever the classic one holds: some writers
  // leave wrong values there.
  if (readEnd64(file, position, end)) return true;
  if (Le16(e + 4) != 0 || Le16(e + 6) != 0 || Le16(e + 8) != Le16(e + 10)) return false;
  end = {position, Le16(e + 10), Le32(e + 12), Le32(e + 16)};
  return end.entries != 0xFFFF && end.cdSize != 0xFFFFFFFF && end.cdOffset != 0xFFFFFFFF;
}

bool ZipDirectory::readEnd64(const InputFile& file, uint64_t position, End& end) const {
  // The locator sits just before the end record and the central directory
  // ends where the ZIP64 end record begins (also when the fields are not
  // full, e.g. written by zip reading a pipe).
  unsigned char loc[20];
  if (position < 20 || !file.readExact(position - 20, loc, 20) || Le32(loc) != kLocator64Signature) return false;
  unsigned char e64[56];
  for (const uint64_t at : {position - 20 - std::min<uint64_t>(position - 20, 56), Le64(loc + 8)}) {
    if (!file.readExact(at, e64, sizeof e64) || Le32(e64) != kEnd64Signature || at + 12 + Le64(e64 + 4) > position - 20)
      continue;
    end = {at, Le64(e64 + 32), Le64(e64 + 40), Le64(e64 + 48)};
    return true;
  }
  return false;
}

bool ZipDirectory::read(const InputFile& file) {
  unsigned char head[4] = {};
  m_looksLikeZip = file.readExact(0, head, 4) && Le32(head) == kLocalSignature;
  const uint64_t tail = std::min<uint64_t>(file.size(), 65535 + kEndSize);
  std::vector<unsigned char> buffer(static_cast<size_t>(tail));
  const uint64_t start = file.size() - tail;
  if (tail < kEndSize || !file.readExact(start, buffer.data(), buffer.size())) return false;
  // Then, as other readers do, an end record whose signature is damaged
  // counts when its fields lead to a whole central directory.
  for (const bool anySignature : {false, true}) {
    for (size_t i = buffer.size() - kEndSize + 1; i-- > 0;) {
      if (anySignature ? !PlausibleEnd(&buffer[i]) : Le32(&buffer[i]) != kEndSignature) continue;
      End end{};
      if (readEnd(file, start + i, anySignature, end) && readRecords(file, end)) {
        m_endRepaired = anySignature;
        return true;
      }
    }
  }
  return false;
}

bool ZipDirectory::readRecords(const InputFile& file, const End& end) {
  if (end.cdSize > end.position || end.cdSize > kMaxCentralDirectory) return false;
  // Where the central directory ends the end record begins, unless padding
  // lies between them: then the recorded offset tells.
  for (const uint64_t cdStart : {end.position - end.cdSize, end.cdOffset}) {
    if (end.cdOffset > cdStart || cdStart + end.cdSize > end.position) continue;
    Central central;
    if (!readRecordsAt(file, cdStart, end, central)) continue;
    m_base = cdStart - end.cdOffset;
    m_cdEnd = cdStart + end.cdSize;
    m_cdSize = end.cdSize;
    m_records = std::move(central.records);
    m_cleanCentral = std::move(central.clean);
    m_repairedExtras = central.repaired;
    return true;
  }
  return false;
}

bool ZipDirectory::readRecordsAt(const InputFile& file, uint64_t cdStart, const End& end,
                                 Central& central) const {
  std::vector<ZipRecord>& records = central.records;
  std::vector<unsigned char> cd(static_cast<size_t>(end.cdSize));
  if (!file.readExact(cdStart, cd.data(), cd.size())) return false;
  bool repairing = false;
  size_t at = 0;
  for (uint64_t n = 0; n < end.entries; ++n) {
    if (at + kCentralSize > cd.size() || Le32(&cd[at]) != kCentralSignature) return false;
    const unsigned char* h = &cd[at];
    const size_t nameLen = Le16(h + 28), extraLen = Le16(h + 30), commentLen = Le16(h + 32);
    const size_t room = cd.size() - at - kCentralSize;
    // Only the last record may run past the directory's end, in its extra field or comment.
    if (nameLen > room || (n + 1 < end.entries && nameLen + extraLen + commentLen > room)) return false;
    const size_t extraHeld = std::min(extraLen, room - nameLen);
    const size_t commentHeld = std::min(commentLen, room - nameLen - extraHeld);
    const unsigned char* extra = h + kCentralSize + nameLen;
    const size_t extraKept = WellFormedExtra(extra, extraHeld);
    ZipRecord r;
    r.name.assign(reinterpret_cast<const char*>(h + kCentralSize), nameLen);
    r.charset = (Le16(h + 8) & 0x0800) ? NameCharset::Utf8 : NameCharset::Auto;
    r.encrypted = (Le16(h + 8) & 0x0001) != 0;
    r.crc = Le32(h + 16);
    r.size = Le32(h + 24);
    r.packed = Le32(h + 20);
    r.localOffset = Le32(h + 42);
    ReadExtra(extra, extraKept, Le32(h + 24), Le32(h + 20), Le32(h + 42), r);
    records.push_back(std::move(r));
    if (extraKept != extraLen || commentHeld != commentLen) {
      if (!repairing) central.clean.assign(cd.begin(), cd.begin() + static_cast<ptrdiff_t>(at));
      repairing = true;
      ++central.repaired;
    }
    if (repairing) {
      const unsigned char* comment = h + kCentralSize + nameLen + extraHeld;
      central.clean.insert(central.clean.end(), h, h + kCentralSize + nameLen + extraKept);
      central.clean.insert(central.clean.end(), comment, comment + commentHeld);
      const size_t headAt = central.clean.size() - commentHeld - extraKept - nameLen - kCentralSize;
      PutLe16(&central.clean[headAt + 30], extraKept);
      PutLe16(&central.clean[headAt + 32], commentHeld);
    }
    at += kCentralSize + nameLen + extraHeld + commentHeld;
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const ZipRecord& a, const ZipRecord& b) { return a.localOffset < b.localOffset; });
  // libarchive keeps one entry per local header offset, the first listed.
  records.erase(std::unique(records.begin(), records.end(),
                            [](const ZipRecord& a, const ZipRecord& b) { return a.localOffset == b.localOffset; }),
                records.end());
  unsigned char local[4];
  const uint64_t base = cdStart - end.cdOffset;
  return records.empty() ||
         (file.readExact(base + records.front().localOffset, local, 4) && Le32(local) == kLocalSignature);
}

uint64_t ZipDirectory::windowEnd() const { return m_cleanCentral.empty() ? m_cdEnd : m_cdEnd - m_cdSize; }

std::vector<unsigned char> ZipDirectory::cleanEnd() const {
  const uint64_t entries = m_records.size(), cdOffset = m_cdEnd - m_cdSize - m_base;
  const uint64_t cdSize = m_cleanCentral.empty() ? m_cdSize : m_cleanCentral.size();
  std::vector<unsigned char> out = m_cleanCentral;
  const auto put = [&out](uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
  };
  const bool zip64 = entries >= 0xFFFF || cdSize >= 0xFFFFFFFF || cdOffset >= 0xFFFFFFFF;
  if (zip64) {
    put(kEnd64Signature, 4);
    put(44, 8);            // the size of the rest of this record
    put(45, 2);            // made by
    put(45, 2);            // needed
    put(0, 8);             // this disk, the central directory's disk
    put(entries, 8);       // on this disk
    put(entries, 8);
    put(cdSize, 8);
    put(cdOffset, 8);
    put(kLocator64Signature, 4);
    put(0, 4);
    put(cdOffset + cdSize, 8);  // where the ZIP64 end record begins
    put(1, 4);                  // disks
  }
  put(kEndSignature, 4);
  put(0, 4);  // this disk, the central directory's disk
  put(std::min<uint64_t>(entries, 0xFFFF), 2);
  put(std::min<uint64_t>(entries, 0xFFFF), 2);
  put(std::min<uint64_t>(cdSize, 0xFFFFFFFF), 4);
  put(std::min<uint64_t>(cdOffset, 0xFFFFFFFF), 4);
  put(0, 2);  // no comment
  return out;
}

void ZipDirectory::useLocalHeader(const InputFile& file, ZipRecord& record) const {
  // One read covers the header with the usual name and extra field; a longer
  // one is read again whole. This runs once per member.
  const uint64_t at = m_base + record.localOffset;
  std::vector<unsigned char> h(kLocalSize + 512);
  const int64_t got = file.readAt(at, h.data(), h.size());
  if (got < static_cast<int64_t>(kLocalSize) || Le32(h.data()) != kLocalSignature) return;
  const size_t nameLen = Le16(h.data() + 26), extraLen = Le16(h.data() + 28);
  const size_t whole = kLocalSize + nameLen + extraLen;
  if (static_cast<size_t>(got) < whole) {
    h.resize(whole);
    if (!file.readExact(at, h.data(), whole)) return;
  }
  const unsigned char* rest = h.data() + kLocalSize;
  ZipRecord local;
  local.name.assign(reinterpret_cast<const char*>(rest), nameLen);
  local.charset = (Le16(h.data() + 6) & 0x0800) ? NameCharset::Utf8 : NameCharset::Auto;
  // Sizes and offset are the central directory's; only the name is taken here.
  ReadExtra(rest + nameLen, extraLen, 0, 0, 0, local);
  record.name = std::move(local.name);
  record.charset = local.charset;
  record.dataOffset = at + whole;
  record.flags = Le16(h.data() + 6);
  record.method = Le16(h.data() + 8);
}

}  // namespace rkarc::zip
