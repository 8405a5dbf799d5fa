// The extended headers of levels 1, 2 and 3: a chain of (size, id, data)
// records, each ending with the size of the next one. Walks the chain within
// a bound and stores what each known id says into an LzhHeader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archivers/unlha32/LzhHeader.h"

namespace rkarc {

class LzhExtendedHeaders {
 public:
  // Reads `size` bytes at a position relative to the first extended header;
  // false when they are not there.
  using Fetch = std::function<bool(uint64_t position, size_t size, std::vector<uint8_t>& out)>;

  enum class Status { Ok, Damaged, Truncated };

  // width: 2 (levels 1, 2) or 4 (level 3). limit: the most bytes the chain
  // may span. Sets a reason when the chain is inconsistent or cut short.
  LzhExtendedHeaders(size_t width, uint64_t limit) : m_width(width), m_limit(limit) {}
  Status read(uint64_t firstSize, const Fetch& fetch, LzhHeader& header, std::string& reason);

  // Bytes the chain spans (the sum of the record sizes).
  uint64_t totalSize() const { return m_total; }
  // Position of the header CRC's two bytes relative to the first record, when
  // an extended header 0x00 was present.
  std::optional<uint64_t> headerCrcPosition() const { return m_crcPosition; }
  std::optional<uint16_t> headerCrc() const { return m_crc; }
  // 64-bit sizes from extended header 0x42, when present.
  std::optional<uint64_t> compressedSize64() const { return m_compressed64; }
  std::optional<uint64_t> originalSize64() const { return m_original64; }

 private:
  void apply(uint8_t id, const uint8_t* data, size_t size, uint64_t position, LzhHeader& header);

  size_t m_width;
  uint64_t m_limit;
  uint64_t m_total = 0;
  std::optional<uint64_t> m_crcPosition;
  std::optional<uint16_t> m_crc;
  std::optional<uint64_t> m_compressed64;
  std::optional<uint64_t> m_original64;
};

// UTF-16LE to UTF-8; `separator` (0xFFFF for directory names) becomes '/'.
// Unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(const uint8_t* data, size_t size, std::optional<uint16_t> separator);

}  // namespace rkarc
