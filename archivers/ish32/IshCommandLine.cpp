// Parsing of the IshEx command text. Options are leading tokens of "/" and
// letters. A path may begin with "/" too, so where a leading token could be
// either, the reading under which the archive exists wins.
#include "archivers/ish32/IshCommandLine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/Command.h"

namespace rkarc {
namespace {

constexpr std::string_view kKnownLetters = "mo";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool LooksLikeOption(std::string_view token) {
  return token.size() >= 2 && token[0] == '/' &&
         std::all_of(token.begin() + 1, token.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
}

bool IsKnownOption(std::string_view token) {
  return std::all_of(token.begin() + 1, token.end(), [](char c) {
    return kKnownLetters.find(AsciiLower(c)) != std::string_view::npos;
  });
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return std::string(text);
}

void ApplyOption(const std::string& token, IshCommandLine& out) {
  if (!IsKnownOption(token)) out.ignoredOptions.push_back(token);
  for (char c : token.substr(1))
    if (AsciiLower(c) == 'o') out.overwrite = true;
}

// The folder is everything after the last " /F=". Exactly that text: the
// program makes sure only the archive path may contain it.
size_t FindFolderMark(std::string_view text) { return text.rfind(" /F="); }

bool ParseIshForm(std::string_view head, std::string_view folder, IshCommandLine& out) {
  // Where the archive path begins when the first j leading tokens are options.
  std::vector<size_t> starts;
  std::vector<std::string> tokens;
  size_t pos = 0;
  while (true) {
    while (pos < head.size() && IsBlank(head[pos])) ++pos;
    starts.push_back(pos);
    size_t end = pos;
    while (end < head.size() && !IsBlank(head[end])) ++end;
    const std::string_view token = head.substr(pos, end - pos);
    if (end == head.size() || !LooksLikeOption(token)) break;
    tokens.emplace_back(token);
    pos = end;
  }
  size_t taken = 0;
  while (taken < tokens.size() && IsKnownOption(tokens[taken])) ++taken;
  for (size_t j = tokens.size() + 1; j-- > 0;) {
    if (IsFile(Unquoted(head.substr(starts[j])))) {
      taken = j;
      break;
    }
  }
  for (size_t j = 0; j < taken; ++j) ApplyOption(tokens[j], out);
  out.archive = Unquoted(head.substr(starts[taken]));
  out.outputFolder = Unquoted(folder);
  return !out.archive.empty() && !out.outputFolder.empty();
}

bool ParseQuotedForm(std::string_view text, IshCommandLine& out) {
  Command command;
  if (!ParseCommand(text, command)) return false;
  // "/m" and the like are not "-" options, so the first one lands in `word`.
  std::vector<std::string> paths = command.paths;
  if (!command.word.empty()) {
    if (LooksLikeOption(command.word)) ApplyOption(command.word, out);
    else paths.insert(paths.begin(), command.word);
  }
  for (const std::string& option : command.options) out.ignoredOptions.push_back(option);
  while (!paths.empty() && LooksLikeOption(paths.front()) && !IsFile(paths.front())) {
    ApplyOption(paths.front(), out);
    paths.erase(paths.begin());
  }
  if (paths.size() < 2) return false;
  out.archive = paths[0];
  out.outputFolder = paths[1];
  out.members.assign(paths.begin() + 2, paths.end());
  return !out.archive.empty() && !out.outputFolder.empty();
}

}  // namespace

bool IshCommandLine::Parse(std::string_view text, IshCommandLine& out) {
  out = IshCommandLine{};
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const size_t mark = FindFolderMark(text);
  if (mark == std::string_view::npos) return ParseQuotedForm(text, out);
  return ParseIshForm(text.substr(0, mark), text.substr(mark + 4), out);
}

}  // namespace rkarc
