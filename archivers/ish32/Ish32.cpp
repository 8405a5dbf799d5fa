// ISH32.DLL: the entry points. IshEx decodes every ISH file found in a text
// (an .ISH file or a terminal log) into the folder named after " /F=".
#include <cstdint>
#include <string>

#include "archivers/common/Module.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/ish32/IshCommandLine.h"
#include "archivers/ish32/IshExtractor.h"
#include "archivers/ish32/IshReader.h"

namespace {

constexpr int32_t kVersion = 100;

// The module's process-wide state behind IshGetRunning and IshSetProgress.
rkarc::ModuleState g_state;

int32_t Extract(std::string_view text, rkarc::Report& report, rkarc::Progress& progress) {
  rkarc::IshCommandLine command;
  if (!rkarc::IshCommandLine::Parse(text, command)) {
    report.fail("コマンドに書庫か解凍先がありません（書庫 /F=解凍先）");
    return rkarc::kErrCommand;
  }
  for (const std::string& option : command.ignoredOptions) report.add("オプション " + option + " は無視しました");
  rkarc::SafeWriter writer(command.outputFolder, {.overwrite = command.overwrite, .flatten = false}, report);
  if (!writer.ready()) return writer.result();
  rkarc::IshExtractor target(writer, report, command.members);
  uint64_t textSize = 0;
  rkarc::IshReader reader(command.archive, target, [&](uint64_t done, uint64_t total) {
    textSize = total;
    progress.update(done, total);
  });
  const int32_t rc = reader.run();
  progress.finish(textSize);
  if (rc == rkarc::kErrArchiveOpen) writer.failArchive(rc, "ファイルを読めません");
  else if (rc == rkarc::kErrNotArchive) writer.failArchive(rc, "ISH のヘッダーが見つかりません");
  for (const std::string& member : target.membersNotFound())
    writer.failArchive(rkarc::kErrNotArchive, member + ": テキストの中にありません");
  return writer.result();
}

}  // namespace

RKARC_EXPORT int32_t IshEx(const char* command, char* report, uint32_t size) {
  return rkarc::RunCommand(g_state, command, report, size, Extract);
}

RKARC_EXPORT int32_t IshCheckArchive(const char* path, int32_t /*mode*/) {
  if (path == nullptr) return 0;
  try {
    return rkarc::IshReader::IsIshText(path) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

RKARC_EXPORT int32_t IshGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t IshGetVersion(void) { return kVersion; }

RKARC_EXPORT void IshSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
