// Turns a parsed LZH header into the writer's Member: the path from the
// directory and file name fields (UTF-16 fields preferred), the charset the
// name bytes are in (MS-DOS capitals shown in small letters), the member type (file, folder, Unix symbolic link),
// permission bits and time.
#pragma once

#include <string>

#include "archivers/common/SafeWriter.h"
#include "archivers/unlha32/LzhHeader.h"

namespace rkarc {

class LzhMember {
 public:
  // False with a reason when the header cannot describe a member (a symbolic
  // link without a target); `out` still holds the name for the report.
  static bool Make(const LzhHeader& header, Member& out, std::string& reason);

  // The charset of the header's name bytes: the code-page extended header
  // when present, CP932 for archives from MS-DOS, Windows, OS/2, Human68k,
  // TownsOS and the Macintosh (and headers that name no system), otherwise
  // UTF-8 when the bytes are valid UTF-8 and CP932 when not.
  static NameCharset CharsetOf(const LzhHeader& header);
};

}  // namespace rkarc
