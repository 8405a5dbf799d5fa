// This module's own walk over the headers of a RAR 4 or RAR 5 archive,
// without reading any data. It gives what libarchive 3.6 hides or gets
// wrong: name bytes as stored (libarchive turns every 0x5C byte of a RAR 4
// name into '/', splitting CP932 characters), RAR 5 encryption, members
// continued in other volumes, and whether the end-of-archive block is there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/unrar32/RarLocator.h"

namespace rkarc::rar {

struct RarFile {
  std::string name;  // as stored (RAR 4 with a Unicode name: its byte part)
  bool unicode = false;  // RAR 4 name with its own Unicode encoding; RAR 5 names are UTF-8
  std::string utf8Name;  // RAR 4 with a Unicode name: that name
  bool encrypted = false;
  // An older copy kept by RAR's version control (named name;N), which RAR
  // extracts only when asked: the member of the plain name is the newest.
  bool olderVersion = false;

  // RAR 4 only, for decoding without libarchive: where the header begins
  // (from the signature), and what it says of the member.
  uint64_t headerAt = 0;
  bool directory = false;
  uint64_t size = 0;
  uint8_t host = 0;  // 0 MS-DOS, 1 OS/2, 2 Windows, 3 Unix
  uint32_t attributes = 0;
  uint32_t dosTime = 0;
  uint8_t unpackVersion = 0;
  uint8_t method = 0;   // 0x30 stored
  uint64_t dataAt = 0;  // from the signature, like headerAt
  uint64_t packedSize = 0;

  bool splitBefore = false;
  bool splitAfter = false;
  // Set on the set's view of a member continued across volumes, whose data
  // libarchive 3.6 does not check: `crc` is then its last part's, that of the
  // whole file.
  bool spans = false;
  // RAR 5 stored data, whose CRC-32 libarchive 3.6 does not check either.
  bool stored5 = false;
  // The CRC-32 of the whole file when this is its last part, of this part's
  // packed bytes otherwise.
  std::optional<uint32_t> crc;
  // RAR 5: the member is stored as a copy of the earlier member of this name
  // (a file reference); it has no data of its own.
  std::string copyOf;
};

struct RarHeaders {
  std::vector<RarFile> files;  // file headers in order, as libarchive returns them
  bool endSeen = false;
  bool headersEncrypted = false;
  bool solid = false;  // RAR 4: members continue the one before
  std::string damage;  // why the walk stopped early, or empty
  bool cutShort = false;  // it stopped where a header or data runs past the end of the file

  // Volume sets: whether this archive is a volume, its number in the set
  // (0 the first; -1 when the headers do not tell, as in sets made before
  // RAR 3.0), whether the end block says another volume follows, and whether
  // later volumes are named name.partN.rar rather than name.r00.
  bool volume = false;
  int volumeNumber = -1;
  bool moreVolumes = false;
  bool partNaming = false;

  // Walks the archive that starts at `start`.
  static RarHeaders Read(const InputFile& file, const RarStart& start);
};

}  // namespace rkarc::rar
