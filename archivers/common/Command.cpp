// Command text parsing; see Command.h for the grammar.
#include "archivers/common/Command.h"

#include <algorithm>

namespace rkarc {

bool Command::hasOption(std::string_view option) const {
  return std::find(options.begin(), options.end(), option) != options.end();
}

bool ParseCommand(std::string_view text, Command& out) {
  out = Command{};
  size_t i = 0;
  bool first = true;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      out.paths.emplace_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      size_t end = i;
      while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
      std::string token(text.substr(i, end - i));
      if (token[0] == '-' && out.paths.empty()) {
        out.options.push_back(std::move(token));
      } else if (first) {
        out.word = std::move(token);
      } else {
        out.paths.push_back(std::move(token));
      }
      i = end;
    }
    first = false;
  }
  return true;
}

}  // namespace rkarc
