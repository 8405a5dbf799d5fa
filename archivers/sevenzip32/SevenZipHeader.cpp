// Reading the 7z header; see SevenZipHeader.h. Every count is checked against
// the bytes left before anything is sized from it, so a hostile header can
// neither read past its end nor make the reader allocate without bound.
#include "archivers/sevenzip32/SevenZipHeader.h"

#include <algorithm>

#include "archivers/common/Bytes.h"

namespace rkarc::sevenzip {
namespace {

enum Id : uint64_t {
  kEnd = 0,
  kHeader = 1,
  kArchiveProperties = 2,
  kAdditionalStreams = 3,
  kMainStreams = 4,
  kFilesInfo = 5,
  kPackInfo = 6,
  kUnpackInfo = 7,
  kSubStreamsInfo = 8,
  kSize = 9,
  kCrc = 10,
  kFolder = 11,
  kCodersUnpackSize = 12,
  kNumUnpackStream = 13,
  kEmptyStream = 14,
  kEmptyFile = 15,
  kAnti = 16,
  kName = 17,
  kMTime = 20,
  kAttributes = 21,
  kEncodedHeader = 23,
};

constexpr uint32_t kMaxCoders = 64;

[[noreturn]] void Bad(const char* what) { throw HeaderError{what}; }

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : m_at(data), m_end(data + size) {}

  size_t left() const { return static_cast<size_t>(m_end - m_at); }
  uint8_t byte() {
    if (m_at == m_end) Bad("ヘッダーが途中で切れています");
    return *m_at++;
  }
  const uint8_t* take(uint64_t n) {
    if (n > left()) Bad("ヘッダーが途中で切れています");
    const uint8_t* at = m_at;
    m_at += n;
    return at;
  }
  // 7z's variable-length number: the leading one bits of the first byte say how many bytes follow.
  uint64_t number() {
    const uint8_t first = byte();
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> i);
      if (!(first & mask)) return value | (static_cast<uint64_t>(first & (mask - 1)) << (8 * i));
      value |= static_cast<uint64_t>(byte()) << (8 * i);
    }
    return value;
  }
  // A count of items that take at least one bit each of what is left.
  size_t count() {
    const uint64_t n = number();
    if (n > left() * 8 + 8) Bad("ヘッダーの個数が大きすぎます");
    return static_cast<size_t>(n);
  }
  uint32_t le16() { return Le16(take(2)); }
  uint32_t le32() { return Le32(take(4)); }
  uint64_t le64() { return Le64(take(8)); }
  std::vector<bool> bits(size_t n) {
    std::vector<bool> out(n);
    uint8_t current = 0;
    for (size_t i = 0; i < n; ++i) {
      if (i % 8 == 0) current = byte();
      out[i] = (current << (i % 8)) & 0x80;
    }
    return out;
  }
  // All-defined byte, else a bit per item.
  std::vector<bool> defined(size_t n) { return byte() ? std::vector<bool>(n, true) : bits(n); }
  void skipData() { take(number()); }
  void expect(uint64_t id) {
    if (number() != id) Bad("ヘッダーの構造が正しくありません");
  }

 private:
  const uint8_t* m_at;
  const uint8_t* m_end;
};

std::vector<std::optional<uint32_t>> Digests(ByteReader& r, size_t n) {
  const std::vector<bool> defined = r.defined(n);
  std::vector<std::optional<uint32_t>> out(n);
  for (size_t i = 0; i < n; ++i)
    if (defined[i]) out[i] = r.le32();
  return out;
}

void ReadPackInfo(ByteReader& r, Streams& s) {
  s.packPos = r.number();
  s.packSizes.resize(r.count());
  for (uint64_t id = r.number(); id != kEnd; id = r.number()) {
    if (id == kSize) {
      for (auto& size : s.packSizes) size = r.number();
    } else if (id == kCrc) {
      Digests(r, s.packSizes.size());
    } else {
      r.skipData();
    }
  }
}

Folder ReadFolder(ByteReader& r) {
  Folder f;
  const size_t coders = r.count();
  if (coders == 0 || coders > kMaxCoders) Bad("コーダーの数が正しくありません");
  uint64_t ins = 0, outs = 0;
  for (size_t i = 0; i < coders; ++i) {
    Coder c;
    const uint8_t flags = r.byte();
    if (flags & 0x80) Bad("代替のコーダーには対応していません");
    const uint8_t* id = r.take(flags & 0x0F);
    c.method.assign(id, id + (flags & 0x0F));
    if (flags & 0x10) {
      const uint64_t in = r.number(), out = r.number();
      if (in > kMaxCoders || out != 1) Bad("コーダーのストリーム数が正しくありません");
      c.inStreams = static_cast<uint32_t>(in);
      c.outStreams = static_cast<uint32_t>(out);
    }
    if (flags & 0x20) {
      const uint64_t size = r.number();
      const uint8_t* p = r.take(size);
      c.properties.assign(p, p + size);
    }
    ins += c.inStreams;
    outs += c.outStreams;
    f.coders.push_back(std::move(c));
  }
  std::vector<bool> inBound(ins), outBound(outs);
  for (uint64_t i = 0; i + 1 < outs; ++i) {
    const uint64_t in = r.number(), out = r.number();
    if (in >= ins || out >= outs || inBound[in] || outBound[out]) Bad("バインドペアが正しくありません");
    inBound[in] = outBound[out] = true;
    f.bindPairs.emplace_back(in, out);
  }
  if (ins < outs) Bad("パックストリームがありません");
  const uint64_t packed = ins - (outs - 1);
  if (packed == 1) {
    f.packedStreams.push_back(
        static_cast<uint64_t>(std::find(inBound.begin(), inBound.end(), false) - inBound.begin()));
  } else {
    for (uint64_t i = 0; i < packed; ++i) {
      const uint64_t in = r.number();
      if (in >= ins || inBound[in]) Bad("パックストリームが正しくありません");
      inBound[in] = true;
      f.packedStreams.push_back(in);
    }
  }
  f.mainOut = static_cast<size_t>(std::find(outBound.begin(), outBound.end(), false) - outBound.begin());
  f.unpackSizes.resize(outs);
  return f;
}

void ReadUnpackInfo(ByteReader& r, Streams& s) {
  r.expect(kFolder);
  s.folders.resize(r.count());
  if (r.byte() != 0) Bad("外部のフォルダー情報には対応していません");
  for (auto& f : s.folders) f = ReadFolder(r);
  r.expect(kCodersUnpackSize);
  for (auto& f : s.folders)
    for (auto& size : f.unpackSizes) size = r.number();
  for (uint64_t id = r.number(); id != kEnd; id = r.number()) {
    if (id == kCrc) {
      const auto crcs = Digests(r, s.folders.size());
      for (size_t i = 0; i < crcs.size(); ++i) s.folders[i].crc = crcs[i];
    } else {
      r.skipData();
    }
  }
}

void ReadSubStreams(ByteReader& r, Streams& s) {
  uint64_t id = r.number();
  if (id == kNumUnpackStream) {
    for (auto& n : s.substreams) n = r.count();
    id = r.number();
  }
  const bool sized = id == kSize;
  for (size_t i = 0; i < s.folders.size(); ++i) {
    const uint64_t n = s.substreams[i], whole = s.folders[i].size();
    if (n == 0) continue;
    if (!sized && n > 1) Bad("ストリームの大きさがありません");
    uint64_t sum = 0;
    for (uint64_t k = 0; k + 1 < n; ++k) {
      const uint64_t size = r.number();
      if (size > whole - sum) Bad("ストリームの大きさが正しくありません");
      sum += size;
      s.sizes.push_back(size);
    }
    s.sizes.push_back(whole - sum);
  }
  if (sized) id = r.number();
  size_t unknown = 0;
  for (size_t i = 0; i < s.folders.size(); ++i)
    unknown += s.substreams[i] == 1 && s.folders[i].crc ? 0 : s.substreams[i];
  std::vector<std::optional<uint32_t>> digests(unknown);
  for (; id != kEnd; id = r.number()) {
    if (id == kCrc) {
      digests = Digests(r, unknown);
    } else {
      r.skipData();
    }
  }
  size_t next = 0;
  s.crcs.clear();
  for (size_t i = 0; i < s.folders.size(); ++i) {
    if (s.substreams[i] == 1 && s.folders[i].crc) {
      s.crcs.push_back(s.folders[i].crc);
      continue;
    }
    for (uint64_t k = 0; k < s.substreams[i]; ++k) s.crcs.push_back(digests[next++]);
  }
}

// Where each folder's pack streams begin, checked against the pack sizes.
void PlacePackStreams(Streams& s) {
  size_t pack = 0;
  uint64_t offset = s.packPos;
  for (auto& f : s.folders) {
    if (f.packedStreams.size() > s.packSizes.size() - pack) Bad("パックストリームが足りません");
    f.firstPack = pack;
    f.packOffset = offset;
    for (size_t k = 0; k < f.packedStreams.size(); ++k, ++pack) {
      if (s.packSizes[pack] > UINT64_MAX / 2 - offset) Bad("パックストリームの大きさが正しくありません");
      offset += s.packSizes[pack];
      f.packSizes.push_back(s.packSizes[pack]);
    }
  }
}

Streams ReadStreams(ByteReader& r) {
  Streams s;
  uint64_t id = r.number();
  if (id == kPackInfo) {
    ReadPackInfo(r, s);
    id = r.number();
  }
  if (id == kUnpackInfo) {
    ReadUnpackInfo(r, s);
    id = r.number();
  }
  s.substreams.assign(s.folders.size(), 1);
  if (id == kSubStreamsInfo) {
    ReadSubStreams(r, s);
    id = r.number();
  } else {
    for (const auto& f : s.folders) {
      s.sizes.push_back(f.size());
      s.crcs.push_back(f.crc);
    }
  }
  if (id != kEnd) Bad("ヘッダーの構造が正しくありません");
  PlacePackStreams(s);
  return s;
}

// UTF-16LE to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void ReadNames(ByteReader& r, std::vector<Entry>& entries) {
  if (r.byte() != 0) Bad("外部の名前には対応していません");
  std::vector<uint32_t> units;
  for (auto& e : entries) {
    units.clear();
    for (uint32_t c = r.le16(); c != 0; c = r.le16()) units.push_back(c);
    for (size_t i = 0; i < units.size(); ++i) {
      const uint32_t c = units[i];
      const bool high = c >= 0xD800 && c < 0xDC00;
      if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
        AppendUtf8(e.name, 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00));
      } else {
        AppendUtf8(e.name, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
      }
    }
  }
}

template <typename Store>
void ReadDefinedItems(ByteReader& r, size_t n, size_t width, Store store) {
  const std::vector<bool> defined = r.defined(n);
  if (r.byte() != 0) Bad("外部の属性には対応していません");
  for (size_t i = 0; i < n; ++i)
    if (defined[i]) store(i, width == 8 ? r.le64() : r.le32());
}

void ReadFiles(ByteReader& r, std::vector<Entry>& entries) {
  entries.resize(r.count());
  const size_t n = entries.size();
  std::vector<bool> emptyStream(n), emptyFile, anti;
  for (uint64_t type = r.number(); type != kEnd; type = r.number()) {
    const uint64_t size = r.number();
    ByteReader p(r.take(size), static_cast<size_t>(size));
    const size_t empties = static_cast<size_t>(std::count(emptyStream.begin(), emptyStream.end(), true));
    if (type == kEmptyStream) {
      emptyStream = p.bits(n);
    } else if (type == kEmptyFile) {
      emptyFile = p.bits(empties);
    } else if (type == kAnti) {
      anti = p.bits(empties);
    } else if (type == kName) {
      ReadNames(p, entries);
    } else if (type == kMTime) {
      // FILETIME: 100 ns units since 1601-01-01.
      ReadDefinedItems(p, n, 8, [&](size_t i, uint64_t t) {
        entries[i].mtime = static_cast<int64_t>(t / 10000000) - 11644473600LL;
      });
    } else if (type == kAttributes) {
      ReadDefinedItems(p, n, 4, [&](size_t i, uint64_t a) { entries[i].attributes = static_cast<uint32_t>(a); });
    }
  }
  for (size_t i = 0, empty = 0; i < n; ++i) {
    entries[i].hasStream = !emptyStream[i];
    if (!emptyStream[i]) continue;
    entries[i].emptyFile = empty < emptyFile.size() && emptyFile[empty];
    entries[i].anti = empty < anti.size() && anti[empty];
    ++empty;
  }
}

// Hands each entry with data its folder, size and CRC, in order.
void AssignStreams(Header& h) {
  const Streams& s = h.streams;
  size_t folder = 0, inFolder = 0, stream = 0;
  for (auto& e : h.entries) {
    if (!e.hasStream) continue;
    while (folder < s.folders.size() && inFolder >= s.substreams[folder]) {
      ++folder;
      inFolder = 0;
    }
    if (folder == s.folders.size() || stream >= s.sizes.size()) Bad("ファイルのデータがありません");
    e.folder = folder;
    e.size = s.sizes[stream];
    e.crc = s.crcs[stream];
    ++inFolder;
    ++stream;
  }
}

}  // namespace

Header ParseHeader(const std::vector<uint8_t>& bytes) {
  ByteReader r(bytes.data(), bytes.size());
  Header h;
  r.expect(kHeader);
  uint64_t id = r.number();
  if (id == kArchiveProperties) {
    for (uint64_t type = r.number(); type != kEnd; type = r.number()) r.skipData();
    id = r.number();
  }
  if (id == kAdditionalStreams) {
    ReadStreams(r);
    id = r.number();
  }
  if (id == kMainStreams) {
    h.streams = ReadStreams(r);
    id = r.number();
  }
  if (id == kFilesInfo) {
    ReadFiles(r, h.entries);
    id = r.number();
  }
  if (id != kEnd) Bad("ヘッダーの構造が正しくありません");
  AssignStreams(h);
  return h;
}

Streams ParseEncodedHeader(const std::vector<uint8_t>& bytes) {
  ByteReader r(bytes.data(), bytes.size());
  r.expect(kEncodedHeader);
  return ReadStreams(r);
}

}  // namespace rkarc::sevenzip
