// The C entry points of UNLHA32.DLL: Unlha (run a command), UnlhaCheckArchive,
// UnlhaGetRunning, UnlhaGetVersion and UnlhaSetProgress.
#include <cstdint>

#include "archivers/common/Command.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/unlha32/ArchiveFile.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhExtractor.h"
#include "archivers/unlha32/LzhOptions.h"

namespace {

// The module's one process-wide state: what GetRunning and SetProgress report on.
rkarc::ModuleState g_state;

constexpr int32_t kVersion = 100;

int32_t RunLzhCommand(std::string_view text, rkarc::Report& report, rkarc::Progress& progress) {
  rkarc::Command command;
  rkarc::LzhOptions options;
  std::string error;
  if (!rkarc::ParseCommand(text, command)) {
    report.fail("コマンドの引用符が閉じていません");
    return rkarc::kErrCommand;
  }
  if (!rkarc::LzhOptions::FromCommand(command, options, error)) {
    report.fail(error);
    return rkarc::kErrCommand;
  }
  rkarc::LzhExtractor extractor(options, report);
  uint64_t size = 0;
  const int32_t result = extractor.run([&](uint64_t done, uint64_t total) {
    size = total;
    progress.update(done, total);
  });
  progress.finish(size);
  return result;
}

}  // namespace

RKARC_EXPORT int32_t Unlha(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(g_state, command, report, reportSize, RunLzhCommand);
}

RKARC_EXPORT int32_t UnlhaCheckArchive(const char* path, int32_t /*mode*/) {
  if (path == nullptr) return 0;
  rkarc::ArchiveFile file;
  if (!file.open(path)) return 0;
  const auto location = rkarc::ArchiveLocator(file).find();
  return location && location->firstHeaderValid ? 1 : 0;
}

RKARC_EXPORT int32_t UnlhaGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t UnlhaGetVersion(void) { return kVersion; }

RKARC_EXPORT void UnlhaSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
