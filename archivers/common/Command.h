// Splitting the command text handed to a module's command entry point into
// its parts; ExtractRequest gives them their meaning.
//
//   COMMAND := [word] {option} "archive" "output" {"member"}
//
// Blanks separate tokens; a token in double quotes may hold blanks and is
// always a path. With the option mark '-', an unquoted first token that does
// not start with '-' is the command word, and other unquoted tokens starting
// with '-' before the first path are options. With the mark '/' (ISH32.DLL)
// there is no command word, a leading unquoted token of '/' and letters is an
// option unless a file of that name exists, and the text may also be
//
//   {option} ARCHIVE " /F=" FOLDER
//
// where the archive is everything between the options and the last " /F="
// (blanks included, no quotes needed) and the folder everything after it.
// Any other token is a path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/CommandSyntax.h"

namespace rkarc {

struct Command {
  std::string word;                  // leading command word, or empty
  std::vector<std::string> options;  // as written, e.g. "-x", "-xfo", "/m"
  std::vector<std::string> paths;    // archive, output, then member names
};

// False when the text cannot be split (an unclosed quote).
bool SplitCommand(std::string_view text, const CommandSyntax& syntax, Command& out);

}  // namespace rkarc
