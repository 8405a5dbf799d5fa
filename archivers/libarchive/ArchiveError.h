// libarchive failures turned into a result code and a report reason. libarchive
// only gives text and an errno, so the text's key words decide the code.
#pragma once

#include <archive.h>

#include <cstdint>
#include <string>

namespace rkarc {

struct ArchiveError {
  int32_t code;
  std::string reason;  // Japanese reason, then libarchive's own words in brackets

  // A read callback that fails with one of our result codes as the errno
  // (see SetCallbackError) is reported with that code and its text as is.
  static ArchiveError From(archive* a);
  static void SetCallbackError(archive* a, int32_t code, const std::string& reason);
};

}  // namespace rkarc
