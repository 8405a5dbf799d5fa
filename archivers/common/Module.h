// What every archiver module shares around its C entry points: the running
// count behind <Prefix>GetRunning, the optional progress callback behind
// <Prefix>SetProgress, and RunCommand, which wraps one command call (report
// buffer, exceptions turned into result codes). The entry points' types are in
// ModuleInterface.h; the macros below check each definition against them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "archivers/common/ModuleInterface.h"
#include "archivers/common/Report.h"

#define RKARC_EXPORT extern "C" __attribute__((visibility("default")))

// Fails the build when entry point `name` does not have the type `Type` of
// ModuleInterface.h, the one the host calls it through.
#define RKARC_CHECK_ENTRY_POINT(name, Type) \
  static_assert(std::is_same_v<decltype(&name), Type>, #name " does not match " #Type)

namespace rkarc {

class Progress {
 public:
  Progress(RkProgressFn fn, void* context) : m_fn(fn), m_context(context) {}
  void update(uint64_t done, uint64_t total);  // throttled
  void finish(uint64_t total);                 // always reported

 private:
  RkProgressFn m_fn;
  void* m_context;
  int64_t m_lastMs = -1;
};

// One per module, process-wide: the state behind the module's own entry points.
class ModuleState {
 public:
  int32_t running() const { return m_running.load(); }
  void setProgress(RkProgressFn fn, void* context);

 private:
  friend int32_t RunCommand(ModuleState&, const char*, char*, uint32_t,
                            const std::function<int32_t(std::string_view, Report&, Progress&)>&);
  std::atomic<int32_t> m_running{0};
  std::atomic<RkProgressFn> m_progressFn{nullptr};
  std::atomic<void*> m_progressContext{nullptr};
};

// Runs one command: counts it as running, hands the body the command text
// (read it with ExtractRequest), and turns exceptions into kErrMemory /
// kErrInternal. A null command gives kErrCommand.
int32_t RunCommand(ModuleState& state, const char* command, char* report, uint32_t reportSize,
                   const std::function<int32_t(std::string_view, Report&, Progress&)>& body);

// The answer of PCheckArchive: 1 when `canExtract` says so; a null path, and
// any exception, give 0.
int32_t CheckArchive(const char* path, bool (*canExtract)(const std::string& path));

}  // namespace rkarc

// Defines every entry point of the module with prefix P but its command:
// PCheckArchive (through `canExtract`, bool(const std::string&)),
// PGetRunning, PGetVersion (`version`) and PSetProgress, over the module's
// state P##State.
#define RKARC_MODULE_ENTRY_POINTS_BESIDE_COMMAND(P, version, canExtract)                                 \
  namespace {                                                                                          \
  rkarc::ModuleState P##State;                                                                         \
  }                                                                                                    \
  RKARC_EXPORT int32_t P##CheckArchive(const char* path, int32_t /*mode*/) {                           \
    return rkarc::CheckArchive(path, canExtract);                                                      \
  }                                                                                                    \
  RKARC_EXPORT int32_t P##GetRunning(void) { return P##State.running(); }                              \
  RKARC_EXPORT int32_t P##GetVersion(void) { return version; }                                         \
  RKARC_EXPORT void P##SetProgress(RkProgressFn fn, void* context) { P##State.setProgress(fn, context); } \
  RKARC_CHECK_ENTRY_POINT(P##CheckArchive, RkCheckArchiveFn);                                          \
  RKARC_CHECK_ENTRY_POINT(P##GetRunning, RkGetRunningFn);                                              \
  RKARC_CHECK_ENTRY_POINT(P##GetVersion, RkGetVersionFn);                                              \
  RKARC_CHECK_ENTRY_POINT(P##SetProgress, RkSetProgressFn);

// Defines every entry point of the module with prefix P, its command P
// running `extract` (int32_t(std::string_view, Report&, Progress&)).
#define RKARC_MODULE_ENTRY_POINTS(P, version, extract, canExtract)                                 \
  RKARC_MODULE_ENTRY_POINTS_BESIDE_COMMAND(P, version, canExtract)                                 \
  RKARC_EXPORT int32_t P(void* /*window*/, const char* command, char* report, uint32_t reportSize) { \
    return rkarc::RunCommand(P##State, command, report, reportSize, extract);                      \
  }                                                                                                \
  RKARC_CHECK_ENTRY_POINT(P, RkCommandFn);

// The same for a module whose command is an extraction: P reads the command
// text with `syntax` (an ExtractRequest, whose header the module includes) and
// runs `run` (int32_t(ExtractRequest&, Report&, Progress&)) on it, or gives
// kErrCommand after the report line when the text does not read.
#define RKARC_EXTRACT_MODULE_ENTRY_POINTS(P, version, syntax, run, canExtract)                            \
  RKARC_MODULE_ENTRY_POINTS(                                                                              \
      P, version,                                                                                         \
      ([](std::string_view text, rkarc::Report& report, rkarc::Progress& progress) -> int32_t {          \
        rkarc::ExtractRequest request;                                                                    \
        if (!request.parse(text, syntax, report)) return rkarc::kErrCommand;                             \
        return run(request, report, progress);                                                            \
      }),                                                                                                 \
      canExtract)
