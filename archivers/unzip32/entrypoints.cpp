// UNZIP32.DLL's C entry points (prefix UnZip); the work is in ZipReader.
#include "archivers/common/Module.h"
#include "archivers/unzip32/ZipReader.h"

namespace {

// The module's own process-wide state: its running count and progress callback.
rkarc::ModuleState g_state;

}  // namespace

RKARC_EXPORT int32_t UnZip(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(g_state, command, report, reportSize,
                           [](std::string_view text, rkarc::Report& out, rkarc::Progress& progress) {
                             return rkarc::zip::Extract(text, out, progress);
                           });
}

RKARC_EXPORT int32_t UnZipCheckArchive(const char* path, int32_t /*mode*/) {
  try {
    return path && rkarc::zip::CanExtract(path) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

RKARC_EXPORT int32_t UnZipGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t UnZipGetVersion(void) { return 100; }

RKARC_EXPORT void UnZipSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
