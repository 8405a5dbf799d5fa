// Command parsing for extraction commands; see ExtractRequest.h.
#include "archivers/common/ExtractRequest.h"

#include <sys/stat.h>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/Command.h"

namespace rkarc {

bool ExtractRequest::parse(std::string_view text, Report& report, const OptionHandler& options) {
  Command command;
  if (!ParseCommand(text, command)) {
    report.fail("コマンドの引用符が閉じていません");
    return false;
  }
  if (command.paths.size() < 2 || command.paths[0].empty() || command.paths[1].empty()) {
    report.fail("書庫と解凍先を指定してください");
    return false;
  }
  word = command.word;
  archive = command.paths[0];
  output = command.paths[1];
  // A name no member can have (empty, or with "..") still counts: it is
  // reported as not found instead of widening the command to every member.
  for (size_t i = 2; i < command.paths.size(); ++i)
    m_wanted.push_back({SafeWriter::SafeRelativePath(command.paths[i], NameCharset::Utf8), command.paths[i], false});
  // A command word ("x", "e") means what the same option letters mean.
  std::vector<std::string> tokens = command.options;
  if (!word.empty()) tokens.insert(tokens.begin(), "-" + word);
  for (const std::string& token : tokens) {
    const std::string unknown = options(token, *this);
    if (!unknown.empty()) report.add("不明なオプションを無視しました: " + SafeWriter::PrintableName(unknown, NameCharset::Utf8));
  }
  return true;
}

bool ExtractRequest::outputIsFolder() const {
  if (!output.empty() && output.back() == '/') return true;
  struct stat st {};
  return stat(output.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ExtractRequest::wants(std::string_view name, NameCharset charset) {
  if (m_wanted.empty()) return true;
  const std::string path = SafeWriter::SafeRelativePath(name, charset);
  bool found = false;
  for (Wanted& w : m_wanted) {
    if (!w.path.empty() && EqualIgnoringAsciiCase(w.path, path)) {
      w.matched = true;
      found = true;
    }
  }
  return found;
}

std::vector<std::string> ExtractRequest::unmatched() const {
  std::vector<std::string> out;
  for (const Wanted& w : m_wanted)
    if (!w.matched) out.push_back(w.given);
  return out;
}

std::string ForEachOptionLetter(std::string_view token, const std::function<bool(char)>& letter) {
  std::string rejected;
  for (size_t i = 1; i < token.size(); ++i)
    if (!letter(token[i])) rejected += token[i];
  return rejected.empty() ? std::string() : "-" + rejected;
}

}  // namespace rkarc
