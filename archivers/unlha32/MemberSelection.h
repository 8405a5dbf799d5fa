// The member names a command may list after the output folder (the first
// pass of a double archive names the one inner archive it wants). A name
// matches a member's path, ignoring letter case as the archive's home
// systems did, with * and ? wildcards; a name without a folder also matches
// the last component; a folder name selects everything below it.
#pragma once

#include <string>
#include <vector>

namespace rkarc {

class MemberSelection {
 public:
  explicit MemberSelection(std::vector<std::string> names);

  // True when no names were given: every member is wanted.
  bool all() const { return m_names.empty(); }
  // `path`: the member's safe relative UTF-8 path ('/' separators).
  bool matches(const std::string& path);
  // The names that matched no member so far.
  std::vector<std::string> unmatched() const;

 private:
  std::vector<std::string> m_names;
  std::vector<bool> m_matched;
};

}  // namespace rkarc
