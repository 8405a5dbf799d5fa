// Parsing of the command text handed to a module's command entry point.
//
//   COMMAND := [word] {option} "archive" "output-folder" {"member"}
//
// Blanks separate tokens; a token in double quotes may hold blanks and is
// always a path argument. An unquoted first token that does not start with '-'
// is the command word ("x"); other unquoted tokens starting with '-' are
// options; any other unquoted token is a path argument. Which words and options
// a module accepts is documented in the module's README.md.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rkarc {

struct Command {
  std::string word;                  // leading command word, or empty
  std::vector<std::string> options;  // as written, e.g. "-x", "-xfo", "-+"
  std::vector<std::string> paths;    // archive, output folder, then member names

  bool hasOption(std::string_view option) const;
};

// False when the text cannot be split (an unclosed quote).
bool ParseCommand(std::string_view text, Command& out);

}  // namespace rkarc
