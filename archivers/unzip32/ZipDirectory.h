// The central directory of a ZIP archive, read by this module rather than by
// libarchive: it locates the archive behind a self-extracting stub (offsets
// rebased or not; see docs/formats/SFX.md sections 4-5) and keeps each member's
// name bytes exactly as stored, with the UTF-8 flag and the 0x7075 field,
// which libarchive would convert through the locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/SafeWriter.h"
#include "archivers/libarchive/InputFile.h"

namespace rkarc::zip {

struct ZipRecord {
  std::string name;  // as stored, or the 0x7075 UTF-8 name when that matches the stored one
  NameCharset charset = NameCharset::Auto;
  bool encrypted = false;
  uint32_t crc = 0;
  uint64_t localOffset = 0;  // relative to the archive's start
  uint64_t size = 0;         // uncompressed
  uint64_t packed = 0;       // compressed; 0 also when a ZIP64 field should hold it and does not
  // From the local header (useLocalHeader), which libarchive decodes by:
  uint64_t dataOffset = 0;  // in the file; 0 while the local header is unread
  uint16_t method = 0;
  uint16_t flags = 0;  // general purpose bits
};

class ZipDirectory {
 public:
  // False when no valid end record and central directory is found.
  bool read(const InputFile& file);

  // Offset of the archive's start in the file: non-zero for a stub whose
  // archive offsets were not adjusted.
  uint64_t base() const { return m_base; }
  // In local header order, one record per offset: the order in which
  // libarchive's seekable reader returns the entries.
  const std::vector<ZipRecord>& records() const { return m_records; }
  // The file starts like a ZIP archive (so a missing end record means damage).
  bool looksLikeZip() const { return m_looksLikeZip; }
  // The end record's signature was damaged; its fields led to the directory.
  bool endRepaired() const { return m_endRepaired; }
  // Where the central directory ends in the file.
  uint64_t centralDirectoryEnd() const { return m_cdEnd; }
  // libarchive reads the file up to windowEnd() with cleanEnd() behind it: an
  // end record for what was read (ZIP64 when the classic fields cannot hold
  // it, no comment), after the central directory itself when records had
  // malformed extra fields, which are left out (a trailing field that claims
  // more bytes than remain), so a long comment, padding, a damaged end record
  // or such a field is nothing it must cope with.
  uint64_t windowEnd() const;
  std::vector<unsigned char> cleanEnd() const;
  // How many records had malformed extra fields left out.
  size_t repairedExtras() const { return m_repairedExtras; }

  // Replaces the record's name by the one its local header holds, as
  // libarchive does: the local UTF-8 flag and 0x7075 field apply, the 0x7075
  // name only while its CRC-32 matches that local name; and notes where the
  // member's data begins. Keeps the central name (and no data offset) when
  // the local header cannot be read.
  void useLocalHeader(const InputFile& file, ZipRecord& record) const;

 private:
  struct End {
    uint64_t position;  // of the end record in the file
    uint64_t entries;
    uint64_t cdSize;
    uint64_t cdOffset;
  };
  bool readEnd(const InputFile& file, uint64_t position, bool anySignature, End& end) const;
  bool readEnd64(const InputFile& file, uint64_t position, End& end) const;
  struct Central {
    std::vector<ZipRecord> records;
    std::vector<unsigned char> clean;  // the directory without malformed extra fields, when it had any
    size_t repaired = 0;
  };
  bool readRecords(const InputFile& file, const End& end);
  bool readRecordsAt(const InputFile& file, uint64_t cdStart, const End& end, Central& central) const;

  uint64_t m_base = 0;
  uint64_t m_cdEnd = 0;
  uint64_t m_cdSize = 0;
  bool m_looksLikeZip = false;
  bool m_endRepaired = false;
  std::vector<ZipRecord> m_records;
  std::vector<unsigned char> m_cleanCentral;
  size_t m_repairedExtras = 0;
};

}  // namespace rkarc::zip
