// What one command asks of CAB32.DLL: the archive, the output folder, the
// members wanted, and how names and existing files are treated. The option
// letters are documented in README.md.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/SafeWriter.h"

namespace rkarc {

struct CabJob {
  std::string archive;
  std::string outputFolder;
  std::vector<std::string> members;  // UTF-8 paths; empty: every member
  SafeWriter::Options writer;        // by default: keep folders, keep existing files
  std::vector<std::string> ignored;  // options and words not understood, for the report

  // Reads the command text. False when it names no archive and folder or has
  // an unclosed quote; *reason then says why.
  bool parse(std::string_view command, std::string* reason);

  // True when a member's safe relative path is one of `members` (compared
  // with "\" read as "/" and ASCII letters in either case; without folders,
  // its file name counts too), or when no members are named.
  bool wants(const std::string& safePath);
  // The named members that no call of wants() matched.
  std::vector<std::string> notFound() const;

 private:
  void applyLetter(char letter, const std::string& token);
  std::vector<bool> m_found;
};

}  // namespace rkarc
