// Splitting command texts; see Command.h for the grammar.
#include "archivers/common/Command.h"

#include <sys/stat.h>

#include <algorithm>

#include "archivers/common/AsciiCase.h"

namespace rkarc {
namespace {

// Exactly this text (blank, slash, capital F, equals sign): the program makes
// sure only the archive path may contain it.
constexpr std::string_view kFolderMark = " /F=";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A token that could be a '/' option: the mark and letters only.
bool LooksLikeSlashOption(std::string_view token) {
  return token.size() >= 2 && token[0] == '/' && std::all_of(token.begin() + 1, token.end(), IsAsciiLetter);
}

bool KnowsEveryLetter(std::string_view token, const CommandSyntax& syntax) {
  return std::all_of(token.begin() + 1, token.end(), [&](char c) {
    return std::any_of(syntax.letters.begin(), syntax.letters.end(), [&](const OptionRule& rule) {
      return rule.spelling.size() == 1 &&
             (syntax.lettersIgnoreCase ? AsciiLower(rule.spelling[0]) == AsciiLower(c) : rule.spelling[0] == c);
    });
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

// {option} ARCHIVE " /F=" FOLDER. A path may begin with "/" and letters, so
// of the readings that take more or fewer leading tokens as options, the one
// under which the archive exists wins; without one, every leading token of
// known letters is an option.
void SplitFolderMarkForm(std::string_view head, std::string_view folder, const CommandSyntax& syntax, Command& out) {
  std::vector<size_t> starts;  // where the archive begins when the first j tokens are options
  std::vector<std::string> tokens;
  for (size_t pos = 0;;) {
    while (pos < head.size() && IsBlank(head[pos])) ++pos;
    starts.push_back(pos);
    size_t end = pos;
    while (end < head.size() && !IsBlank(head[end])) ++end;
    const std::string_view token = head.substr(pos, end - pos);
    if (end == head.size() || !LooksLikeSlashOption(token)) break;
    tokens.emplace_back(token);
    pos = end;
  }
  size_t taken = 0;
  while (taken < tokens.size() && KnowsEveryLetter(tokens[taken], syntax)) ++taken;
  for (size_t j = tokens.size() + 1; j-- > 0;) {
    if (IsFile(Unquoted(head.substr(starts[j])))) {
      taken = j;
      break;
    }
  }
  out.options.assign(tokens.begin(), tokens.begin() + static_cast<ptrdiff_t>(taken));
  out.paths = {Unquoted(head.substr(starts[taken])), Unquoted(folder)};
}

struct Token {
  std::string text;
  bool quoted;
};

bool Tokenize(std::string_view text, std::vector<Token>& out) {
  for (size_t i = 0; i < text.size();) {
    if (IsBlank(text[i])) {
      ++i;
    } else if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      out.push_back({std::string(text.substr(i + 1, close - i - 1)), true});
      i = close + 1;
    } else {
      size_t end = i;
      while (end < text.size() && !IsBlank(text[end])) ++end;
      out.push_back({std::string(text.substr(i, end - i)), false});
      i = end;
    }
  }
  return true;
}

bool IsOption(const Token& token, const CommandSyntax& syntax) {
  if (token.quoted || token.text.empty() || token.text[0] != syntax.mark) return false;
  return syntax.mark != '/' || (LooksLikeSlashOption(token.text) && !IsFile(token.text));
}

}  // namespace

bool SplitCommand(std::string_view text, const CommandSyntax& syntax, Command& out) {
  out = Command{};
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (syntax.mark == '/') {
    if (const size_t mark = text.rfind(kFolderMark); mark != std::string_view::npos) {
      SplitFolderMarkForm(text.substr(0, mark), text.substr(mark + kFolderMark.size()), syntax, out);
      return true;
    }
  }
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens)) return false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    Token& token = tokens[i];
    if (out.paths.empty() && IsOption(token, syntax)) {
      out.options.push_back(std::move(token.text));
    } else if (i == 0 && !token.quoted && syntax.mark == '-') {
      out.word = std::move(token.text);
    } else {
      out.paths.push_back(std::move(token.text));
    }
  }
  return true;
}

}  // namespace rkarc
