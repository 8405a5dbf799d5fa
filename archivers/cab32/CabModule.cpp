// The entry points of CAB32.DLL (C linkage, UTF-8 strings), as the program
// loads them with dlopen: Cab, CabCheckArchive, CabGetRunning, CabGetVersion
// and CabSetProgress.
#include <cstdint>

#include "archivers/cab32/CabExtraction.h"
#include "archivers/cab32/CabJob.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"

namespace {

constexpr int32_t kVersion = 100;  // 1.00

// Process-wide: what CabGetRunning and CabSetProgress act on.
rkarc::ModuleState g_state;

}  // namespace

RKARC_EXPORT int32_t Cab(void* /*window*/, const char* command, char* report, uint32_t reportSize) {
  return rkarc::RunCommand(g_state, command, report, reportSize,
                           [](std::string_view text, rkarc::Report& out, rkarc::Progress& progress) {
                             rkarc::CabJob job;
                             std::string reason;
                             if (!job.parse(text, &reason)) {
                               out.fail(reason);
                               return static_cast<int32_t>(rkarc::kErrCommand);
                             }
                             return rkarc::CabExtraction(job, out, &progress).run();
                           });
}

// 1 only for a file that holds a complete, well-formed cabinet: this is how
// the program asks whether an .EXE is a self-extracting cabinet.
RKARC_EXPORT int32_t CabCheckArchive(const char* path, int32_t /*mode*/) {
  if (path == nullptr) return 0;
  try {
    rkarc::CabReader reader;
    return reader.open(path, false) ? 0 : 1;
  } catch (...) {
    return 0;
  }
}

RKARC_EXPORT int32_t CabGetRunning(void) { return g_state.running(); }

RKARC_EXPORT int32_t CabGetVersion(void) { return kVersion; }

RKARC_EXPORT void CabSetProgress(RkProgressFn fn, void* context) { g_state.setProgress(fn, context); }
