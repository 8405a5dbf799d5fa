// UNRAR32.DLL's C entry points (prefix Unrar); the work is in RarReader.
#include "archivers/common/Module.h"
#include "archivers/unrar32/RarReader.h"

namespace {

// The module's own process-wide state: its running count and progress callback.
rkarc::ModuleState g_state;

}  // namespace

RKARC_EXPORT int32_t Unrar(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(g_state, command, report, reportSize,
                           [](std::string_view text, rkarc::Report& out, rkarc::Progress& progress) {
                             return rkarc::rar::Extract(text, out, progress);
                           });
}

RKARC_EXPORT int32_t UnrarCheckArchive(const char* path, int32_t /*mode*/) {
  try {
    return path && rkarc::rar::CanExtract(path) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

RKARC_EXPORT int32_t UnrarGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t UnrarGetVersion(void) { return 100; }

RKARC_EXPORT void UnrarSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
