// This module's own walk over the headers of a RAR 4 or RAR 5 archive,
// without reading any data. It gives what libarchive 3.6 hides or gets
// wrong: name bytes as stored (libarchive turns every 0x5C byte of a RAR 4
// name into '/', splitting CP932 characters), RAR 5 encryption, members
// continued in other volumes, and whether the end-of-archive block is there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/unrar32/RarLocator.h"

namespace rkarc::rar {

struct RarFile {
  std::string name;  // as stored (RAR 4 with a Unicode name: its byte part)
  bool unicode = false;  // RAR 4 name with its own Unicode encoding; RAR 5 names are UTF-8
  bool encrypted = false;
  bool splitBefore = false;
  bool splitAfter = false;
};

struct RarHeaders {
  std::vector<RarFile> files;  // file headers in order, as libarchive returns them
  bool endSeen = false;
  bool headersEncrypted = false;
  std::string damage;  // why the walk stopped early, or empty

  // Walks the archive that starts at `start`.
  static RarHeaders Read(const InputFile& file, const RarStart& start);
};

}  // namespace rkarc::rar
