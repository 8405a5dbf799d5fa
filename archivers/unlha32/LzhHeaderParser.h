// Reads and verifies one LZH member header (levels 0 to 3) at a file offset:
// level 0/1 header checksums, level 2/3 header CRCs, sizes that fit their
// fields, and the extended header chain. Never trusts a size to allocate more
// than the header level allows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/ArchiveFile.h"
#include "archivers/unlha32/LzhHeader.h"

namespace rkarc {

enum class HeaderStatus {
  Ok,           // a complete, verified header
  End,          // the end of the archive: end of file or the 0x00 end marker
  NotHeader,    // the bytes there do not look like a member header at all
  Damaged,      // looks like a header but its fields are inconsistent
  BadChecksum,  // the header checksum or header CRC does not match
  Truncated,    // the file ends inside the header
};

struct HeaderResult {
  HeaderStatus status = HeaderStatus::NotHeader;
  LzhHeader header;
  std::string reason;
};

class LzhHeaderParser {
 public:
  explicit LzhHeaderParser(const ArchiveFile& file) : m_file(file) {}

  // verify false: skip the checksum and CRC tests, for finding where a
  // header that failed them would have ended.
  HeaderResult parse(uint64_t offset, bool verify = true) const;

  // True when the 21 bytes at p look like the start of a header: a method id
  // "-xxx-" at 2 and a level of 0-3 at 20, allowing one damaged byte so that
  // a damaged header is reported rather than taken for trailing data.
  static bool LooksLikeHeader(const uint8_t* p);
  // True when the five bytes form a method id of the "-xxx-" shape.
  static bool IsMethodShape(const uint8_t* p);

  static constexpr size_t kMinimumHeader = 21;

 private:
  // What levels 0 and 1 share: the size byte, a header of at least `minimum`
  // bytes (read into buf) under its checksum, the common fields and the name.
  // False with the failure in r.
  bool readSmallHeader(uint64_t offset, size_t minimum, bool verify, std::vector<uint8_t>& buf, HeaderResult& r) const;
  HeaderResult parseLevel0(uint64_t offset, bool verify) const;
  HeaderResult parseLevel1(uint64_t offset, bool verify) const;
  HeaderResult parseLevel2or3(uint64_t offset, int level, bool verify) const;

  const ArchiveFile& m_file;
};

}  // namespace rkarc
