// What an extraction command asks for: the archive, where its members go,
// which members, and how existing files are treated. Modules parse their own
// option letters through a callback; everything else is the same for all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {

class ExtractRequest {
 public:
  // Handles one option token ("-xo", "--overwrite"); returns the parts it did
  // not understand (empty when it understood all), which the report notes.
  using OptionHandler = std::function<std::string(std::string_view token, ExtractRequest& request)>;

  // Parses `OPT "ARCHIVE" "OUTPUT" {"MEMBER"}`. False (after a report line)
  // when the archive or the output is missing or a quote is not closed.
  bool parse(std::string_view text, Report& report, const OptionHandler& options);

  std::string archive;
  // A folder ("OUT/") or, in the single-file form, the path of the file to make.
  std::string output;
  SafeWriter::Options writerOptions;
  std::string word;  // a command word without '-' ("x"), read as the option letters it spells

  // The output names a folder: it ends with '/' or is an existing folder.
  bool outputIsFolder() const;

  // Whether a member (as the writer would name it) is to be extracted. Names
  // given in the command are compared as safe relative paths, ignoring ASCII
  // letter case, as archives made on Windows expect.
  bool wants(std::string_view name, NameCharset charset);
  // Names given in the command that matched no member.
  std::vector<std::string> unmatched() const;

 private:
  struct Wanted {
    std::string path;   // as the writer would name it; empty when no member can match
    std::string given;  // as written in the command
    bool matched = false;
  };
  std::vector<Wanted> m_wanted;
};

// Calls `letter` for each character after the leading '-' of `token`; the
// letters it rejects are returned, for the report.
std::string ForEachOptionLetter(std::string_view token, const std::function<bool(char)>& letter);

}  // namespace rkarc
