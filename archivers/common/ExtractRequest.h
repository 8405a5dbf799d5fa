// What an extraction command asks for, read the same way for every module:
// the archive, where its members go, which members (MemberMatcher), and how
// folders and existing files are treated. The module's CommandSyntax says
// which option letters it knows; the grammar is in Command.h.
//
// - Letters may be combined ("-xo"); a later one wins over an earlier one.
// - A command word is read as the letters it spells ("x" as "-x"); a word
//   with a letter the module does not know is refused, since it may ask for
//   something other than extraction ("d", "l").
// - An unknown option is ignored with a report line naming it; an unknown
//   long option ("--force") is ignored whole, never read as letters.
// - A command without the archive and the output, or with an unclosed
//   quote, is refused.
#pragma once

#include <string>
#include <string_view>

#include "archivers/common/CommandSyntax.h"
#include "archivers/common/MemberMatcher.h"
#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {

class ExtractRequest {
 public:
  // False after a report line (the result is then kErrCommand) when the
  // command cannot be carried out as asked.
  bool parse(std::string_view text, const CommandSyntax& syntax, Report& report);

  std::string archive;
  // A folder ("OUT/") or, in the single-file form, the path of the file to make.
  std::string output;
  SafeWriter::Options writerOptions;
  bool singleFile = false;  // OptionEffect::SingleFile was asked for
  MemberMatcher members;

  // The output names a folder: it ends with '/' or is an existing folder.
  bool outputIsFolder() const;

 private:
  void apply(OptionEffect effect);
  // Applies the letters after the first `skip` characters of `token`; returns those it does not know.
  std::string applyLetters(std::string_view token, size_t skip, const CommandSyntax& syntax);
};

}  // namespace rkarc
