// Command text to ArjRequest; see ArjRequest.h and README.md.
#include "archivers/unarj32j/ArjRequest.h"

#include "archivers/common/Command.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {

int32_t ArjRequest::Parse(std::string_view text, Report& report, ArjRequest& out) {
  out = ArjRequest{};
  Command command;
  if (!ParseCommand(text, command)) {
    report.fail("コマンドの引用符が閉じていません");
    return kErrCommand;
  }
  if (command.word == "e" || command.word == "E") {
    out.flatten = true;
  } else if (!command.word.empty() && command.word != "x" && command.word != "X") {
    // Anything else (add, delete, list ...) is not done here; extracting
    // instead would surprise whoever wrote it.
    report.fail("このコマンドは使えません: " + SafeWriter::PrintableName(command.word, NameCharset::Auto));
    return kErrCommand;
  }
  for (const std::string& option : command.options) {
    if (option == "-o" || option == "-O") {
      out.overwrite = true;
    } else if (option != "-+") {  // -+ (never ask) is how this module always works
      report.add("不明なオプションを無視しました: " + SafeWriter::PrintableName(option, NameCharset::Auto));
    }
  }
  if (command.paths.size() < 2) {
    report.fail("書庫と解凍先フォルダを指定してください");
    return kErrCommand;
  }
  out.archive = command.paths[0];
  out.outputFolder = command.paths[1];
  out.members.assign(command.paths.begin() + 2, command.paths.end());
  return kOk;
}

}  // namespace rkarc
