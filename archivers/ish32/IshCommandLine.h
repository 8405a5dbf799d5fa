// The command text of IshEx. The program sends OPTIONS + " " + ARCHIVE +
// " /F=" + FOLDER, with no quotes, so the archive path is everything between
// the options and the last " /F=" and may hold blanks. Quoted paths, and the
// quoted form the other modules take ("ARCHIVE" "FOLDER" ["MEMBER" ...]),
// are accepted too. The grammar is in README.md beside this file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rkarc {

struct IshCommandLine {
  std::string archive;
  std::string outputFolder;
  std::vector<std::string> members;  // only in the quoted form; empty: every file
  bool overwrite = false;            // "/o"
  std::vector<std::string> ignoredOptions;

  // False when the text names no archive or no output folder (an unclosed
  // quote included).
  static bool Parse(std::string_view text, IshCommandLine& out);
};

}  // namespace rkarc
