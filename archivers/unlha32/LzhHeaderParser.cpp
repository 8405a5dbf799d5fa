// Member header parsing for LZH levels 0-3; see LzhHeaderParser.h.
#include "archivers/unlha32/LzhHeaderParser.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/Bytes.h"
#include "archivers/unlha32/Crc16.h"
#include "archivers/unlha32/LzhExtendedHeaders.h"

namespace rkarc {
namespace {

// Level 3 headers carry a 32-bit size; no real header comes near this.
constexpr uint64_t kMaxLevel3Header = 1u << 20;
constexpr uint64_t kMaxLevel1Chain = 1u << 20;

// Locale-independent: the module may run in any locale the host chose.
bool IsAsciiAlnum(uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

HeaderResult Fail(HeaderStatus status, std::string reason) {
  HeaderResult r;
  r.status = status;
  r.reason = std::move(reason);
  return r;
}

// The fields at the same place in every level: method, sizes, time, attribute.
LzhHeader CommonFields(uint64_t offset, const uint8_t* b) {
  LzhHeader h;
  h.offset = offset;
  h.method.assign(reinterpret_cast<const char*>(b + 2), 5);
  h.compressedSize = Le32(b + 7);
  h.originalSize = Le32(b + 11);
  h.dosTime = Le32(b + 15);
  h.dosAttributes = b[19];
  h.level = b[20];
  return h;
}

bool ChecksumMatches(const std::vector<uint8_t>& buf) {
  unsigned sum = 0;
  for (size_t i = 2; i < buf.size(); ++i) sum += buf[i];
  return (sum & 0xFF) == buf[1];
}

std::string NameField(const uint8_t* p, size_t n) {
  const void* nul = std::memchr(p, 0, n);
  if (nul) n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - p);
  return std::string(reinterpret_cast<const char*>(p), n);
}

void ApplySizes64(const LzhExtendedHeaders& ext, LzhHeader& h) {
  if (ext.compressedSize64()) h.compressedSize = *ext.compressedSize64();
  if (ext.originalSize64()) h.originalSize = *ext.originalSize64();
}

HeaderStatus FromChain(LzhExtendedHeaders::Status s) {
  return s == LzhExtendedHeaders::Status::Truncated ? HeaderStatus::Truncated : HeaderStatus::Damaged;
}

}  // namespace

bool LzhHeaderParser::IsMethodShape(const uint8_t* p) {
  if (p[0] != '-' || p[4] != '-') return false;
  for (int i = 1; i <= 3; ++i)
    if (!IsAsciiAlnum(p[i])) return false;
  return true;
}

bool LzhHeaderParser::LooksLikeHeader(const uint8_t* p) {
  int score = 0;
  score += p[2] == '-';
  score += p[6] == '-';
  for (int i = 3; i <= 5; ++i) score += IsAsciiAlnum(p[i]);
  score += p[20] <= 3;
  return score >= 5;
}

HeaderResult LzhHeaderParser::parse(uint64_t offset, bool verify) const {
  if (offset >= m_file.size()) return Fail(HeaderStatus::End, {});
  uint8_t b[kMinimumHeader] = {};
  const int64_t n = m_file.readAt(offset, b, sizeof b);
  if (n < 0) return Fail(HeaderStatus::Truncated, "読み込みエラー");
  if (b[0] == 0) {
    // The end marker, unless this is a level-2 header whose size happens to
    // have a low byte of 0 (most writers pad to avoid that, not all).
    if (n == static_cast<int64_t>(sizeof b) && b[20] == 2 && IsMethodShape(b + 2)) {
      HeaderResult r = parseLevel2or3(offset, 2, verify);
      if (r.status == HeaderStatus::Ok) return r;
    }
    return Fail(HeaderStatus::End, {});
  }
  if (n < static_cast<int64_t>(sizeof b)) {
    if (n >= 7 && IsMethodShape(b + 2)) return Fail(HeaderStatus::Truncated, "ヘッダの途中で書庫が終わっています");
    return Fail(HeaderStatus::NotHeader, {});
  }
  if (!LooksLikeHeader(b)) return Fail(HeaderStatus::NotHeader, {});
  if (!IsMethodShape(b + 2)) return Fail(HeaderStatus::Damaged, "圧縮方式の表示が壊れています");
  switch (b[20]) {
    case 0: return parseLevel0(offset, verify);
    case 1: return parseLevel1(offset, verify);
    case 2: return parseLevel2or3(offset, 2, verify);
    case 3: return parseLevel2or3(offset, 3, verify);
    default: return Fail(HeaderStatus::Damaged, "不明なヘッダレベル（" + std::to_string(b[20]) + "）です");
  }
}

bool LzhHeaderParser::readSmallHeader(uint64_t offset, size_t minimum, bool verify, std::vector<uint8_t>& buf,
                                      HeaderResult& r) const {
  if (!m_file.readExact(offset, 1, buf)) {
    r = Fail(HeaderStatus::Truncated, "読み込みエラー");
    return false;
  }
  const size_t total = static_cast<size_t>(buf[0]) + 2;
  if (total < minimum) {
    r = Fail(HeaderStatus::Damaged, "ヘッダが短すぎます");
    return false;
  }
  if (!m_file.readExact(offset, total, buf)) {
    r = Fail(HeaderStatus::Truncated, "ヘッダの途中で書庫が終わっています");
    return false;
  }
  if (verify && !ChecksumMatches(buf)) {
    r = Fail(HeaderStatus::BadChecksum, "ヘッダのチェックサムが一致しません");
    return false;
  }
  r.header = CommonFields(offset, buf.data());
  const size_t nameLength = buf[21];
  if (minimum + nameLength > total) {
    r = Fail(HeaderStatus::Damaged, "名前がヘッダに収まっていません");
    return false;
  }
  r.header.fileName = NameField(buf.data() + 22, nameLength);
  return true;
}

HeaderResult LzhHeaderParser::parseLevel0(uint64_t offset, bool verify) const {
  std::vector<uint8_t> buf;
  HeaderResult r;
  if (!readSmallHeader(offset, 22, verify, buf, r)) return r;
  LzhHeader& h = r.header;
  const size_t total = buf.size();
  const size_t nameLength = buf[21];
  const size_t rest = total - 22 - nameLength;
  if (rest == 1) return Fail(HeaderStatus::Damaged, "ヘッダの大きさが不正です");
  if (rest >= 2) {
    h.hasCrc = true;
    h.crc = Le16(buf.data() + 22 + nameLength);
  }
  if (rest >= 3) {
    const uint8_t* ext = buf.data() + 24 + nameLength;
    h.osId = ext[0];
    // Unix extension: 'U', minor version, mtime (4), mode (2), uid (2), gid (2).
    if (ext[0] == 'U' && rest - 2 >= 12) {
      h.unixMtime = static_cast<int64_t>(Le32(ext + 2));
      h.unixMode = Le16(ext + 6);
    }
  }
  h.headerSize = total;
  r.status = HeaderStatus::Ok;
  return r;
}

HeaderResult LzhHeaderParser::parseLevel1(uint64_t offset, bool verify) const {
  std::vector<uint8_t> buf;
  HeaderResult r;
  if (!readSmallHeader(offset, 27, verify, buf, r)) return r;
  LzhHeader& h = r.header;
  const size_t total = buf.size();
  const size_t nameLength = buf[21];
  h.hasCrc = true;
  h.crc = Le16(buf.data() + 22 + nameLength);
  h.osId = buf[24 + nameLength];
  const uint16_t firstSize = Le16(buf.data() + 25 + nameLength);

  // The "skip size" counts the extended headers and the data together. Real
  // chains are a few records; the cap keeps a hostile one from costing a
  // read per three bytes of a large file.
  const uint64_t skipSize = h.compressedSize;
  const uint64_t extStart = offset + total;
  LzhExtendedHeaders ext(2, std::min<uint64_t>(skipSize, kMaxLevel1Chain));
  auto fetch = [&](uint64_t position, size_t size, std::vector<uint8_t>& out) {
    return m_file.readExact(extStart + position, size, out);
  };
  const auto status = ext.read(firstSize, fetch, h, r.reason);
  if (status != LzhExtendedHeaders::Status::Ok) return Fail(FromChain(status), r.reason);
  h.compressedSize = skipSize - ext.totalSize();
  ApplySizes64(ext, h);
  h.headerSize = total + ext.totalSize();
  r.status = HeaderStatus::Ok;
  return r;
}

HeaderResult LzhHeaderParser::parseLevel2or3(uint64_t offset, int level, bool verify) const {
  const size_t base = level == 2 ? 26 : 32;
  std::vector<uint8_t> buf;
  if (!m_file.readExact(offset, base, buf)) return Fail(HeaderStatus::Truncated, "ヘッダの途中で書庫が終わっています");
  uint64_t total = 0;
  uint64_t firstSize = 0;
  if (level == 2) {
    total = Le16(buf.data());
    firstSize = Le16(buf.data() + 24);
    // The OS-9/68K archiver counts its level-2 headers two bytes short.
    if (buf[23] == 'K') total += 2;
  } else {
    if (Le16(buf.data()) != 4) return Fail(HeaderStatus::Damaged, "レベル3ヘッダの形式が不正です");
    total = Le32(buf.data() + 24);
    firstSize = Le32(buf.data() + 28);
    if (total > kMaxLevel3Header) return Fail(HeaderStatus::Damaged, "ヘッダが大きすぎます");
  }
  if (total < base) return Fail(HeaderStatus::Damaged, "ヘッダが短すぎます");
  if (!m_file.readExact(offset, static_cast<size_t>(total), buf))
    return Fail(HeaderStatus::Truncated, "ヘッダの途中で書庫が終わっています");

  HeaderResult r;
  LzhHeader& h = r.header;
  h = CommonFields(offset, buf.data());
  h.dosTime = 0;
  h.headerUnixTime = static_cast<int64_t>(Le32(buf.data() + 15));
  h.hasCrc = true;
  h.crc = Le16(buf.data() + 21);
  h.osId = buf[23];

  LzhExtendedHeaders ext(level == 2 ? 2 : 4, total - base);
  auto fetch = [&](uint64_t position, size_t size, std::vector<uint8_t>& out) {
    out.assign(buf.begin() + static_cast<ptrdiff_t>(base + position),
               buf.begin() + static_cast<ptrdiff_t>(base + position + size));
    return true;
  };
  const auto status = ext.read(firstSize, fetch, h, r.reason);
  if (status != LzhExtendedHeaders::Status::Ok) return Fail(FromChain(status), r.reason);

  if (verify && ext.headerCrcPosition()) {
    std::vector<uint8_t> copy = buf;
    const size_t at = base + static_cast<size_t>(*ext.headerCrcPosition());
    copy[at] = copy[at + 1] = 0;
    if (Crc16::Of(copy.data(), copy.size()) != *ext.headerCrc())
      return Fail(HeaderStatus::BadChecksum, "ヘッダの CRC が一致しません");
  }
  ApplySizes64(ext, h);
  h.headerSize = total;
  r.status = HeaderStatus::Ok;
  return r;
}

}  // namespace rkarc
