// Reading extraction commands; see ExtractRequest.h.
#include "archivers/common/ExtractRequest.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/Command.h"

namespace rkarc {
namespace {

bool Same(std::string_view a, std::string_view b, bool ignoreCase) {
  return ignoreCase ? EqualIgnoringAsciiCase(a, b) : a == b;
}

const OptionRule* Find(std::span<const OptionRule> rules, std::string_view spelling, bool ignoreCase) {
  const auto it = std::find_if(rules.begin(), rules.end(),
                               [&](const OptionRule& rule) { return Same(rule.spelling, spelling, ignoreCase); });
  return it == rules.end() ? nullptr : &*it;
}

}  // namespace

bool ExtractRequest::parse(std::string_view text, const CommandSyntax& syntax, Report& report) {
  Command command;
  if (!SplitCommand(text, syntax, command)) {
    report.fail("コマンドの引用符が閉じていません");
    return false;
  }
  if (!command.word.empty() && !applyLetters(command.word, 0, syntax).empty()) {
    report.fail("このコマンドは使えません: " + SafeWriter::PrintableName(command.word, NameCharset::Utf8));
    return false;
  }
  for (const std::string& option : command.options) {
    std::string unknown;
    if (const OptionRule* rule = Find(syntax.tokens, option, syntax.lettersIgnoreCase)) {
      apply(rule->effect);
    } else if (option.size() == 1 || option[1] == syntax.mark) {
      unknown = option;  // a long option is never read as letters: "--force" is no "-o"
    } else if (const std::string letters = applyLetters(option, 1, syntax); !letters.empty()) {
      unknown = syntax.mark + letters;
    }
    if (!unknown.empty())
      report.add("不明なオプションを無視しました: " + SafeWriter::PrintableName(unknown, NameCharset::Utf8));
  }
  if (command.paths.size() < 2 || command.paths[0].empty() || command.paths[1].empty()) {
    report.fail("書庫と解凍先フォルダを指定してください");
    return false;
  }
  archive = command.paths[0];
  output = command.paths[1];
  const std::vector<std::string> names(command.paths.begin() + 2, command.paths.end());
  members = MemberMatcher(names, syntax.namesIgnoreCase);
  return true;
}

std::string ExtractRequest::applyLetters(std::string_view token, size_t skip, const CommandSyntax& syntax) {
  std::string unknown;
  for (size_t i = skip; i < token.size(); ++i) {
    if (const OptionRule* rule = Find(syntax.letters, token.substr(i, 1), syntax.lettersIgnoreCase))
      apply(rule->effect);
    else
      unknown += token[i];
  }
  return unknown;
}

void ExtractRequest::apply(OptionEffect effect) {
  switch (effect) {
    case OptionEffect::None: break;
    case OptionEffect::WithFolders: writerOptions.flatten = false; break;
    case OptionEffect::Flatten: writerOptions.flatten = true; break;
    case OptionEffect::Overwrite: writerOptions.overwrite = true; break;
    case OptionEffect::KeepExisting: writerOptions.overwrite = false; break;
    case OptionEffect::SingleFile: singleFile = true; break;
  }
}

bool ExtractRequest::outputIsFolder() const {
  if (!output.empty() && output.back() == '/') return true;
  struct stat st {};
  return stat(output.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace rkarc
