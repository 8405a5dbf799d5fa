// Where the executable image of a self-extracting file ends: MS-DOS (MZ),
// Win32 (PE, by its section table), X68000 (HU) and Amiga (hunk) executables.
// The archive of a self-extracting file normally starts right there.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/unlha32/ArchiveFile.h"

namespace rkarc {

struct ExecutableImage {
  enum class Kind { None, MsDos, Windows, X68000, Amiga };
  Kind kind = Kind::None;
  uint64_t end = 0;  // 0 when the file is no executable or the end lies past the file

  static ExecutableImage Of(const ArchiveFile& file);
  static const char* KindName(Kind kind);
};

}  // namespace rkarc
