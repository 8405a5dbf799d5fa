// What a command asks of the ARJ module, taken from the command text: the
// command word, the options (README.md lists them), the archive, the output
// folder and any member names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/Report.h"

namespace rkarc {

struct ArjRequest {
  std::string archive;
  std::string outputFolder;
  std::vector<std::string> members;  // empty: every member
  bool flatten = false;              // command word "e"
  bool overwrite = false;            // option -o

  // kOk, or kErrCommand with a report line. Unknown options are ignored with a
  // report line each.
  static int32_t Parse(std::string_view text, Report& report, ArjRequest& out);
};

}  // namespace rkarc
