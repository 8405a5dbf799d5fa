// ISH32.DLL: the entry points. IshEx decodes every ISH file found in a text
// (an .ISH file or a terminal log) into the folder named after " /F=".
#include <cstdint>
#include <string>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/ish32/IshExtractor.h"
#include "archivers/ish32/IshReader.h"

namespace {

constexpr int32_t kVersion = 100;

// The module's process-wide state behind IshGetRunning and IshSetProgress.
rkarc::ModuleState g_state;

using rkarc::OptionEffect;

// "/m" (decode every ISH file in the text) is what this module always does.
constexpr rkarc::OptionRule kLetters[] = {{"m", OptionEffect::None}, {"o", OptionEffect::Overwrite}};
constexpr rkarc::CommandSyntax kSyntax{.mark = '/', .letters = kLetters, .lettersIgnoreCase = true};

int32_t Extract(std::string_view text, rkarc::Report& report, rkarc::Progress& progress) {
  rkarc::ExtractRequest request;
  if (!request.parse(text, kSyntax, report)) return rkarc::kErrCommand;
  rkarc::SafeWriter writer(request.output, request.writerOptions, report);
  if (!writer.ready()) return writer.result();
  rkarc::IshExtractor target(writer, report, request.members);
  uint64_t textSize = 0;
  rkarc::IshReader reader(request.archive, target, [&](uint64_t done, uint64_t total) {
    textSize = total;
    progress.update(done, total);
  });
  const int32_t rc = reader.run();
  progress.finish(textSize);
  if (rc == rkarc::kErrArchiveOpen) writer.failArchive(rc, reader.problem());
  else if (rc == rkarc::kErrNotArchive) writer.failArchive(rc, "ISH のヘッダーが見つかりません");
  request.members.reportUnmatched(writer);
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
