// Extended header chain of LZH levels 1-3; see LzhExtendedHeaders.h.
#include "archivers/unlha32/LzhExtendedHeaders.h"

#include <cstring>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

// Text fields may be padded with NULs by some writers; a name ends at the first one.
std::string UpToNul(const uint8_t* data, size_t size) {
  const void* nul = std::memchr(data, 0, size);
  const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
  return std::string(reinterpret_cast<const char*>(data), n);
}

void AppendUtf8(uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string Utf16LeToUtf8(const uint8_t* data, size_t size, std::optional<uint16_t> separator) {
  std::string out;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint16_t u = Le16(data + i);
    if (u == 0) break;
    if (separator && u == *separator) {
      out.push_back('/');
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 3 < size) {
      const uint16_t low = Le16(data + i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00), out);
        i += 2;
      } else {
        AppendUtf8(0xFFFD, out);
      }
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(0xFFFD, out);
    } else {
      AppendUtf8(u, out);
    }
  }
  return out;
}

LzhExtendedHeaders::Status LzhExtendedHeaders::read(uint64_t firstSize, const Fetch& fetch,
                                                    LzhHeader& header, std::string& reason) {
  uint64_t size = firstSize;
  uint64_t position = 0;
  std::vector<uint8_t> record;
  while (size != 0) {
    // A record holds at least its id and the next record's size.
    if (size < m_width + 1) {
      reason = "拡張ヘッダが短すぎます";
      return Status::Damaged;
    }
    if (position > m_limit || size > m_limit - position) {
      reason = "拡張ヘッダがヘッダからはみ出しています";
      return Status::Damaged;
    }
    if (!fetch(position, static_cast<size_t>(size), record)) {
      reason = "拡張ヘッダの途中で書庫が終わっています";
      return Status::Truncated;
    }
    const size_t dataSize = static_cast<size_t>(size) - 1 - m_width;
    apply(record[0], record.data() + 1, dataSize, position + 1, header);
    position += size;
    size = LeN(record.data() + 1 + dataSize, m_width);
  }
  m_total = position;
  return Status::Ok;
}

void LzhExtendedHeaders::apply(uint8_t id, const uint8_t* data, size_t size, uint64_t position,
                               LzhHeader& header) {
  switch (id) {
    case 0x00:  // header CRC (levels 2, 3)
      if (size >= 2) {
        m_crcPosition = position;
        m_crc = Le16(data);
      }
      break;
    case 0x01:
      header.fileName = UpToNul(data, size);
      break;
    case 0x02: {
      std::string dir = UpToNul(data, size);
      // 0xFF never occurs inside a CP932 character, so the swap is safe before decoding.
      for (char& c : dir)
        if (static_cast<unsigned char>(c) == 0xFF) c = '/';
      header.dirName = dir;
      break;
    }
    case 0x40:
      if (size >= 1) header.dosAttributes = data[0];
      break;
    case 0x41:  // creation, modification, access as FILETIME
      if (size >= 16) {
        const uint64_t ft = Le64(data + 8);
        if (ft != 0) header.windowsMtime = static_cast<int64_t>(ft / 10000000ULL) - 11644473600LL;
      }
      break;
    case 0x42:
      if (size >= 16) {
        m_compressed64 = Le64(data);
        m_original64 = Le64(data + 8);
      }
      break;
    case 0x44:
      header.utf16FileName = Utf16LeToUtf8(data, size, std::nullopt);
      break;
    case 0x45:
      header.utf16DirName = Utf16LeToUtf8(data, size, 0xFFFF);
      break;
    case 0x46:
      if (size >= 4) header.codePage = Le32(data);
      break;
    case 0x50:
      if (size >= 2) header.unixMode = Le16(data);
      break;
    case 0x54:
      if (size >= 4) header.unixMtime = static_cast<int64_t>(Le32(data));
      break;
    default:  // comments, owners, OS/2 and other blocks carry nothing we use
      break;
  }
}

}  // namespace rkarc
