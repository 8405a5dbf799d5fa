// The C entry points of UNARJ32J.DLL (prefix Unarj), as the program loads them
// with dlopen. Strings are UTF-8; the report buffer is the caller's.
#include <exception>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjExtractor.h"

namespace {

constexpr int32_t kVersion = 100;  // 1.00

using rkarc::OptionEffect;

// The default option text is "x -+"; "+" (never ask) is how this module always works.
constexpr rkarc::OptionRule kLetters[] = {{"x", OptionEffect::WithFolders},
                                          {"e", OptionEffect::Flatten},
                                          {"o", OptionEffect::Overwrite},
                                          {"+", OptionEffect::None}};
constexpr rkarc::CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .lettersIgnoreCase = true};

// The module's one process-wide state: the running count and the progress callback.
rkarc::ModuleState& State() {
  static rkarc::ModuleState state;
  return state;
}

}  // namespace

RKARC_EXPORT int32_t Unarj(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(State(), command, report, reportSize,
                           [](std::string_view text, rkarc::Report& out, rkarc::Progress& progress) {
                             rkarc::ExtractRequest request;
                             if (!request.parse(text, kSyntax, out)) return static_cast<int32_t>(rkarc::kErrCommand);
                             return rkarc::ArjExtractor(request, out, progress).run();
                           });
}

// 1 only when the whole archive can be walked: a valid main header (found
// behind a stub if need be), every member header valid and its data inside the file.
RKARC_EXPORT int32_t UnarjCheckArchive(const char* path, int32_t /*mode*/) {
  if (path == nullptr) return 0;
  try {
    rkarc::ArjArchive archive;
    return archive.open(path) == rkarc::kOk && archive.walkAll() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

RKARC_EXPORT int32_t UnarjGetRunning(void) { return State().running(); }

RKARC_EXPORT int32_t UnarjGetVersion(void) { return kVersion; }

RKARC_EXPORT void UnarjSetProgress(RkProgressFn fn, void* context) { State().setProgress(fn, context); }
