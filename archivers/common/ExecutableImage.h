// Where the executable image of a self-extracting file ends: MS-DOS (MZ),
// Win32 (PE, by its section table), X68000 (HU) and Amiga (hunk) executables.
// The archive of a self-extracting file normally starts right there, so every
// module that finds archives behind a stub looks there first.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/common/ArchiveFile.h"

namespace rkarc {

struct ExecutableImage {
  enum class Kind { None, MsDos, Windows, X68000, Amiga };
  Kind kind = Kind::None;
  // 0 when unknown: the file is no executable, its fields point past the
  // file's end, or a PE section table cannot be read.
  uint64_t end = 0;

  static ExecutableImage Of(const ArchiveFile& file);
  static const char* KindName(Kind kind);
};

}  // namespace rkarc
