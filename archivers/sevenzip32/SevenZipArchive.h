// The header of a located 7z archive, read whole before anything is written:
// checked against the start header's CRC, decoded first where it is itself
// packed (an encoded header), and each folder planned (SevenZipMethods.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/sevenzip32/SevenZipFolder.h"
#include "archivers/sevenzip32/SevenZipHeader.h"
#include "archivers/sevenzip32/SevenZipLocator.h"
#include "archivers/sevenzip32/SevenZipMethods.h"

namespace rkarc::sevenzip {

struct ArchiveHeader {
  enum Outcome { Read, Libarchive, Failed } outcome = Read;
  Header header;
  std::vector<FolderPlan> plans;  // one per folder
  Failure failure;                // Failed: why
  bool passwordNeeded = false;    // an encrypted header or wanted member was met in password mode
  std::optional<size_t> password;  // then the one of the host's passwords that opens it
};

// `passwords`: the host's, in password mode; an encrypted header is then
// decoded with each in turn until one passes the header's CRC.
ArchiveHeader ReadArchiveHeader(const InputFile& file, const SevenZipStart& start,
                                const std::vector<std::string>* passwords = nullptr);

// Where a folder's pack offsets count from.
inline uint64_t PackBase(const SevenZipStart& start) { return start.offset + 32; }

}  // namespace rkarc::sevenzip
