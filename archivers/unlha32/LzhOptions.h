// What a command of UNLHA32.DLL asks for, read from the parsed command text
// (grammar in archivers/common/Command.h, words and options in README.md).
#pragma once

#include <string>
#include <vector>

#include "archivers/common/Command.h"

namespace rkarc {

struct LzhOptions {
  std::string archive;
  std::string outputFolder;
  std::vector<std::string> members;  // empty: every member
  bool flatten = false;              // command word "e": no folders
  bool overwrite = false;            // option "-o": replace existing files
  std::vector<std::string> ignored;  // options this module does not know

  // False with an error text when the command cannot be carried out as asked.
  static bool FromCommand(const Command& command, LzhOptions& out, std::string& error);
};

}  // namespace rkarc
