// The member names a command may list after the output folder, and which
// members they select; the same for every module. A name selects a member
// when it equals the member's path, or matches it as a wildcard pattern
// (* any run of characters, "/" included; ? one character; [a-z] [!a-z] one of
// a set), or, without a folder part, matches the path's last component, or
// names a folder the member lies in. Names are compared as the safe writer
// would place them: "\" and "/" alike, "./", a leading "/" and a drive
// letter dropped; ASCII letters in either case unless the module's format
// tells them apart. A name no member can have (one with "..") selects
// nothing and is reported, never widened to every member.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/SafeWriter.h"

namespace rkarc {

class MemberMatcher {
 public:
  MemberMatcher() = default;
  // `names`: UTF-8, as written in the command.
  MemberMatcher(const std::vector<std::string>& names, bool ignoreCase);

  // True when no names were given: every member is wanted.
  bool all() const { return m_wanted.empty(); }
  // Whether the member of these name bytes is wanted; remembers which names
  // selected something.
  bool wants(std::string_view name, NameCharset charset);
  // The same for a member path already made safe (SafeWriter::SafeRelativePath).
  bool matches(std::string_view safePath);

  // The names, as written, that selected no member so far.
  std::vector<std::string> unmatched() const;
  // Fails the archive with kErrNoMember for each of them, unless the writer
  // has stopped (then the members after the stop were never looked at).
  void reportUnmatched(SafeWriter& writer) const;

 private:
  struct Wanted {
    std::string pattern;  // the safe path; empty when no member can match
    std::string given;
    bool matched = false;
  };
  bool selects(const Wanted& wanted, std::string_view path) const;

  std::vector<Wanted> m_wanted;
  bool m_ignoreCase = true;
};

// Whether `text` matches the wildcard `pattern` (see above); characters are
// UTF-8 sequences, ASCII letters compared without case when `ignoreCase`.
bool WildcardMatch(std::string_view pattern, std::string_view text, bool ignoreCase);

}  // namespace rkarc
