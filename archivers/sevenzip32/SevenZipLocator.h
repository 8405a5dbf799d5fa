// Finds a 7z archive in a file: at its start, or behind a self-extracting
// stub (docs/formats/SFX.md). A signature counts only when the start header
// after it passes its CRC and the header it points at lies inside the file,
// because a stub's code holds the signature too.
#pragma once

#include <cstdint>
#include <optional>

#include "archivers/common/ArchiveFile.h"

namespace rkarc::sevenzip {

struct SevenZipStart {
  uint64_t offset;          // of the signature: the archive's offsets count from 32 bytes on
  uint64_t end;             // where the archive's last header ends
  uint64_t headerSize = 0;  // of that header, which begins at end - headerSize
  uint32_t headerCrc = 0;
};

enum class Found { Archive, Damaged, None };

struct Location {
  Found found = Found::None;
  SevenZipStart start{};
  bool cutShort = false;  // Damaged: the start header is sound, the file too short
};

// Found::Damaged: the file begins with the signature, but its start header
// is broken or points past the end of the file (a cut archive).
Location Find7z(const ArchiveFile& file);

}  // namespace rkarc::sevenzip
