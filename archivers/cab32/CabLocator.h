// Finds the cabinet in a file: at its start (a .CAB file) or behind an
// executable stub of any size (a self-extracting .EXE), where the bytes
// "MSCF" may also occur by chance and only a fully checked header counts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "archivers/cab32/CabHeader.h"

namespace rkarc {

struct CabLocation {
  uint64_t offset = 0;   // of "MSCF" in the file
  uint64_t present = 0;  // bytes of the cabinet that the file holds
  bool cutShort = false; // the file ends before the cabinet's declared size
  CabHeader header;
};

class CabLocator {
 public:
  // fd stays owned by the caller and open while the locator is used.
  CabLocator(int fd, uint64_t fileSize) : m_fd(fd), m_fileSize(fileSize) {}

  // A file that begins with "MSCF" is taken as a cabinet or nothing; when
  // allowCutShort is set it may end early (its members are then reported one
  // by one). Any other file is searched for a complete cabinet, first from
  // the end of an MZ/PE image (unless another archive begins there), then
  // from the file's start up to that end.
  std::optional<CabLocation> find(bool allowCutShort);

  // True when reading the file failed (rather than finding no cabinet).
  bool readFailed() const { return m_readFailed; }
  // True when the file begins with "MSCF": a cabinet that find() refused is
  // then a damaged one rather than no cabinet at all.
  bool signatureAtStart() const { return m_signatureAtStart; }

 private:
  std::optional<CabLocation> tryAt(uint64_t offset, bool allowCutShort);
  std::optional<CabLocation> scan(uint64_t from, uint64_t to);
  uint64_t imageEnd();
  bool otherArchiveAt(uint64_t offset);
  bool readAt(uint64_t offset, size_t length, std::vector<uint8_t>& out);

  int m_fd;
  uint64_t m_fileSize;
  bool m_readFailed = false;
  bool m_signatureAtStart = false;
};

}  // namespace rkarc
