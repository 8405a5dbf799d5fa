// Finds the cabinet in a file: at its start (a .CAB file) or behind an
// executable stub of any size (a self-extracting .EXE), where the bytes
// "MSCF" may also occur by chance and only a fully checked header counts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "archivers/cab32/CabHeader.h"
#include "archivers/common/ArchiveFile.h"

namespace rkarc {

struct CabLocation {
  uint64_t offset = 0;   // of "MSCF" in the file
  uint64_t present = 0;  // bytes of the cabinet that the file holds
  bool cutShort = false; // the file ends before the cabinet's declared size
  CabHeader header;
};

class CabLocator {
 public:
  // The file stays open while the locator is used.
  explicit CabLocator(const ArchiveFile& file) : m_file(file) {}

  // A file that begins with "MSCF" is taken as a cabinet or nothing; when
  // allowCutShort is set it may end early (its members are then reported one
  // by one). Any other file is searched for a complete cabinet, first from
  // the end of an MZ/PE image (unless another archive begins there), then
  // from the file's start up to that end.
  std::optional<CabLocation> find(bool allowCutShort);

  // True when the file begins with "MSCF": a cabinet that find() refused is
  // then a damaged one rather than no cabinet at all.
  bool signatureAtStart() const { return m_signatureAtStart; }

 private:
  std::optional<CabLocation> tryAt(uint64_t offset, bool allowCutShort);
  std::optional<CabLocation> scan(uint64_t from, uint64_t to);
  bool otherArchiveAt(uint64_t offset);

  const ArchiveFile& m_file;
  bool m_signatureAtStart = false;
};

}  // namespace rkarc
