// Command words and options of UNLHA32.DLL; see LzhOptions.h and README.md.
#include "archivers/unlha32/LzhOptions.h"

#include "archivers/common/AsciiCase.h"

namespace rkarc {

bool LzhOptions::FromCommand(const Command& command, LzhOptions& out, std::string& error) {
  out = LzhOptions{};
  const std::string word = AsciiLower(command.word);
  if (word == "e") {
    out.flatten = true;
  } else if (!word.empty() && word != "x") {
    error = "不明なコマンド「" + command.word + "」です（使えるのは x と e です）";
    return false;
  }
  for (const std::string& option : command.options) {
    const std::string o = AsciiLower(option);
    if (o == "-o") {
      out.overwrite = true;
    } else if (o == "-+") {
      // Part of the default option text; this module has no stored
      // settings for it to override, so it changes nothing.
    } else {
      out.ignored.push_back(option);
    }
  }
  if (command.paths.size() < 2) {
    error = "書庫と解凍先フォルダが指定されていません";
    return false;
  }
  out.archive = command.paths[0];
  out.outputFolder = command.paths[1];
  out.members.assign(command.paths.begin() + 2, command.paths.end());
  return true;
}

}  // namespace rkarc
