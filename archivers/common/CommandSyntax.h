// What one module accepts in its command text besides the paths: its option
// letters and whole-token options with what each does, and how letter case
// counts. Every module keeps its own table (in the file that runs its
// command); ExtractRequest reads any command with it. The letters each module
// knows are documented in its README.md.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace rkarc {

enum class OptionEffect : uint8_t {
  None,          // accepted; changes nothing
  WithFolders,   // members keep their folders (the default)
  Flatten,       // every member straight into the output folder
  Overwrite,     // replace existing files
  KeepExisting,  // keep existing files (the default)
  SingleFile,    // decompress into one file even when the output names a folder
};

struct OptionRule {
  std::string_view spelling;  // one letter ("x"), or a whole token ("--overwrite", "-o+")
  OptionEffect effect;
};

struct CommandSyntax {
  // What starts an option. With '-' a leading word is read as the option
  // letters it spells ("x" as "-x"). With '/' a path may begin like an
  // option, so a leading token of letters is an option only where no file
  // of that name exists, and the form OPTIONS ARCHIVE " /F=" FOLDER (paths
  // unquoted, blanks and all) is taken too.
  char mark = '-';
  std::span<const OptionRule> letters;      // combinable after the mark ("-xo")
  std::span<const OptionRule> tokens = {};  // looked up whole, before the letters
  // Option letters and words in either case (archivers of MS-DOS descent);
  // otherwise "-x" and "-X" differ, as in Unix tools.
  bool lettersIgnoreCase = false;
  // Member names compare ASCII letters in either case, as on the systems
  // where the format's archives are made; otherwise exactly (tar: Unix).
  bool namesIgnoreCase = true;
};

}  // namespace rkarc
