// TAR32.DLL's C entry points (prefix Tar); the work is in TarReader.
#include "archivers/common/Module.h"
#include "archivers/tar32/TarReader.h"

namespace {

// The module's own process-wide state: its running count and progress callback.
rkarc::ModuleState g_state;

}  // namespace

RKARC_EXPORT int32_t Tar(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(g_state, command, report, reportSize,
                           [](std::string_view text, rkarc::Report& out, rkarc::Progress& progress) {
                             return rkarc::tar::Extract(text, out, progress);
                           });
}

RKARC_EXPORT int32_t TarCheckArchive(const char* path, int32_t /*mode*/) {
  try {
    return path && rkarc::tar::CanExtract(path) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

RKARC_EXPORT int32_t TarGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t TarGetVersion(void) { return 100; }

RKARC_EXPORT void TarSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
