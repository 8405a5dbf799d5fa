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

// "/m" (decode every ISH file in the text) is what this module always does.
using enum rkarc::OptionEffect;
constexpr rkarc::OptionRule kLetters[] = {{"m", None}, {"o", Overwrite}};
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

RKARC_MODULE_ENTRY_POINTS_BESIDE_COMMAND(Ish, 100, rkarc::IshReader::IsIshText)

// The command entry point takes no window.
RKARC_EXPORT int32_t IshEx(const char* command, char* report, uint32_t size) {
  return rkarc::RunCommand(IshState, command, report, size, Extract);
}
RKARC_CHECK_ENTRY_POINT(IshEx, RkIshCommandFn);
