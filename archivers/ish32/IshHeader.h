// The header record (record number 0) that starts every encoded file or
// volume: original size, variant, 8.3 name, time stamp and, for a volume of a
// multi-volume set, the fields that tie the volumes together.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archivers/ish32/IshRecord.h"

namespace rkarc {

class IshHeader {
 public:
  // The header in a decoded record, or nothing when the record is no header or
  // its fields are not sane (unknown variant, record length that does not
  // match it, blank name, volume fields that do not add up).
  static std::optional<IshHeader> parse(const IshRecord& record);

  IshVariant variant() const { return m_variant; }
  int recordLength() const { return IshRecordLength(m_variant); }
  uint32_t size() const { return m_size; }  // of the whole original file

  // 0 for a single file; 1, 2 ... for a volume of a set.
  int volume() const { return m_record.bytes[1]; }
  bool isVolume() const { return volume() != 0; }
  int volumeCount() const;
  // The file bytes that volume n (or the single file, n = 0) carries, and where they start.
  uint32_t volumeBytes(int n) const;
  uint64_t volumeOffset(int n) const;
  // Equal for every volume of one set.
  std::string setKey() const;
  uint16_t wholeCrc16() const;
  uint32_t wholeCrc32() const;

  // False when a text of this many bytes is far too short for the records
  // this header needs.
  bool fitsIn(uint64_t textBytes) const;

  // The name as stored ("BASE.EXT", bytes, possibly CP932).
  std::string storedName() const;
  // The stored name reduced to its last component, or empty when nothing
  // usable is left: ISH keeps a bare 8.3 name, so any folder part is hostile.
  std::string safeName() const;
  // Modification time in seconds since 1970 UTC, when the header keeps one.
  std::optional<int64_t> mtime() const;

  bool operator==(const IshHeader& other) const;

 private:
  explicit IshHeader(const IshRecord& record);
  uint32_t le32(int offset) const;
  uint32_t volumeSize() const { return le32(40); }

  IshRecord m_record;
  IshVariant m_variant = IshVariant::Jis7;
  uint32_t m_size = 0;
};

}  // namespace rkarc
