// Header fields, their sanity checks, and the name and time they give.
#include "archivers/ish32/IshHeader.h"

#include <algorithm>
#include <ctime>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

constexpr int kMaxVolumes = 99;  // the volume files are named .i01 to .i99
constexpr uint64_t kShortestRecordLine = 61;
constexpr uint64_t kTruncationAllowance = 4;

std::string Trimmed(const uint8_t* bytes, size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes), size);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

bool IsCp932Lead(uint8_t byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

IshHeader::IshHeader(const IshRecord& record) : m_record(record) {}

uint32_t IshHeader::le32(int offset) const {
  return Le32(&m_record.bytes[static_cast<size_t>(offset)]);
}

std::optional<IshHeader> IshHeader::parse(const IshRecord& record) {
  if (record.length < 63 || record.number() != 0) return std::nullopt;
  const auto variant = IshVariantFromType(record.bytes[11]);
  if (!variant) return std::nullopt;
  IshHeader header(record);
  header.m_variant = *variant;
  header.m_size = header.le32(2);
  const int length = Le16(&record.bytes[6]);
  if (length != IshRecordLength(*variant)) return std::nullopt;
  if (Trimmed(&record.bytes[12], 8).empty()) return std::nullopt;
  if (header.isVolume()) {
    const uint32_t perVolume = header.volumeSize();
    if (header.m_size == 0 || perVolume == 0) return std::nullopt;
    const uint64_t count = (uint64_t{header.m_size} + perVolume - 1) / perVolume;
    if (count > kMaxVolumes || header.volume() > static_cast<int>(count)) return std::nullopt;
  }
  return header;
}

int IshHeader::volumeCount() const {
  if (!isVolume()) return 1;
  return static_cast<int>((uint64_t{m_size} + volumeSize() - 1) / volumeSize());
}

uint64_t IshHeader::volumeOffset(int n) const { return n <= 1 ? 0 : uint64_t{volumeSize()} * (n - 1); }

uint32_t IshHeader::volumeBytes(int n) const {
  if (n == 0) return m_size;
  const uint64_t start = volumeOffset(n);
  if (start >= m_size) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(volumeSize(), m_size - start));
}

std::string IshHeader::setKey() const {
  return std::string(reinterpret_cast<const char*>(&m_record.bytes[2]), 42);
}

uint16_t IshHeader::wholeCrc16() const {
  return Be16(&m_record.bytes[34]);
}

uint32_t IshHeader::wholeCrc32() const { return le32(36); }

bool IshHeader::fitsIn(uint64_t textBytes) const {
  // A complete text has a line for every data record (two lost lines of a
  // block are made up for by its two check lines). A text cut short still
  // deserves an "unexpected end"; only a size far beyond what the text could
  // hold marks a header as garbage that happened to pass its CRC.
  const uint64_t payload = static_cast<uint64_t>(recordLength() - 3);
  const uint64_t records = (uint64_t{volumeBytes(volume())} + 2 + payload - 1) / payload;
  return records * kShortestRecordLine <= textBytes * kTruncationAllowance;
}

std::string IshHeader::storedName() const {
  std::string name = Trimmed(&m_record.bytes[12], 8);
  const std::string extension = Trimmed(&m_record.bytes[20], 3);
  if (!extension.empty()) name += "." + extension;
  return name;
}

std::string IshHeader::safeName() const {
  const std::string name = storedName();
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<uint8_t>(name[i]);
    if (IsCp932Lead(byte)) {
      ++i;  // a trail byte 0x5C is part of the character, not a separator
    } else if (byte == '/' || byte == '\\' || byte == ':') {
      start = i + 1;
    }
  }
  std::string base = name.substr(std::min(start, name.size()));
  if (base == "." || base == "..") base.clear();
  return base;
}

std::optional<int64_t> IshHeader::mtime() const {
  const uint8_t flags = m_record.bytes[26];
  if ((flags & 1) == 0) return std::nullopt;
  const uint32_t dos = le32(27);
  std::tm fields{};
  fields.tm_sec = static_cast<int>(dos & 0x1F) * 2;
  fields.tm_min = static_cast<int>(dos >> 5 & 0x3F);
  fields.tm_hour = static_cast<int>(dos >> 11 & 0x1F);
  fields.tm_mday = static_cast<int>(dos >> 16 & 0x1F);
  fields.tm_mon = static_cast<int>(dos >> 21 & 0x0F) - 1;
  fields.tm_year = static_cast<int>(dos >> 25) + 80;
  if (fields.tm_mday < 1 || fields.tm_mon < 0 || fields.tm_mon > 11 || fields.tm_hour > 23 ||
      fields.tm_min > 59 || fields.tm_sec > 59)
    return std::nullopt;
  if ((flags & 2) == 0) {
    // No zone: the encoder's local time, taken as ours.
    fields.tm_isdst = -1;
    const std::time_t local = std::mktime(&fields);
    if (local == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<int64_t>(local);
  }
  // Signed 24-bit seconds west of UTC.
  auto west = static_cast<int32_t>(LeN(&m_record.bytes[31], 3));
  if (west & 0x800000) west -= 0x1000000;
  return static_cast<int64_t>(timegm(&fields)) + west;
}

bool IshHeader::operator==(const IshHeader& other) const {
  return m_record.length == other.m_record.length &&
         std::equal(m_record.bytes.begin(), m_record.bytes.begin() + m_record.length, other.m_record.bytes.begin());
}

}  // namespace rkarc
