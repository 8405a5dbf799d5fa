// Letter case of ASCII letters only: member names, extensions and option
// letters are compared the way Windows archivers compare them, while CP932 and
// UTF-8 bytes stay as they are whatever the process's locale says.
#pragma once

#include <string>
#include <string_view>

namespace rkarc {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace rkarc
