// Walks the members of an LZH archive: finds the archive (also behind an
// executable stub), then yields each verified member header in turn. A
// damaged header is reported once and reading resumes at the next header
// that verifies, so members after damage are not lost; data after the last
// member that holds no valid header is trailing data, not damage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archivers/common/ArchiveFile.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhHeader.h"
#include "archivers/unlha32/LzhHeaderParser.h"

namespace rkarc {

class LzhReader {
 public:
  struct Entry {
    enum class Kind { Member, Damage, End };
    Kind kind = Kind::End;
    LzhHeader header;    // Member: its header; the data may run past the end of the file
    int32_t code = 0;    // Damage: kErrDamaged or kErrChecksum
    std::string reason;  // Damage: what was found, and where
  };

  explicit LzhReader(const ArchiveFile& file) : m_file(file), m_parser(file), m_locator(file) {}

  // Finds the archive; false when the file holds no LZH archive.
  bool open();
  const ArchiveLocator::Location& location() const { return m_location; }

  Entry next();

  // The offset reached so far, for progress.
  uint64_t position() const { return m_offset; }
  // Bytes after the last member that were ignored (neither padding nor a header).
  uint64_t trailingBytes() const { return m_trailing; }

 private:
  Entry damage(HeaderStatus status, const std::string& reason);
  std::optional<uint64_t> resumeAfterDamage(uint64_t at) const;

  const ArchiveFile& m_file;
  LzhHeaderParser m_parser;
  ArchiveLocator m_locator;
  ArchiveLocator::Location m_location;
  uint64_t m_offset = 0;
  uint64_t m_trailing = 0;
  bool m_done = false;
};

}  // namespace rkarc
