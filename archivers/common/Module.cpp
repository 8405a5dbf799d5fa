// Entry-point helpers shared by the modules; see Module.h.
#include "archivers/common/Module.h"

#include <chrono>
#include <new>
#include <stdexcept>

#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {
namespace {

// At most five progress calls a second: the host redraws on each one.
constexpr int64_t kProgressIntervalMs = 200;

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Keeps the running count right however the command ends.
class RunningGuard {
 public:
  explicit RunningGuard(std::atomic<int32_t>& count) : m_count(count) { ++m_count; }
  ~RunningGuard() { --m_count; }
  RunningGuard(const RunningGuard&) = delete;
  RunningGuard& operator=(const RunningGuard&) = delete;

 private:
  std::atomic<int32_t>& m_count;
};

}  // namespace

void Progress::update(uint64_t done, uint64_t total) {
  if (m_fn == nullptr) return;
  const int64_t now = NowMs();
  if (m_lastMs >= 0 && now - m_lastMs < kProgressIntervalMs) return;
  m_lastMs = now;
  m_fn(m_context, done, total);
}

void Progress::finish(uint64_t total) {
  if (m_fn == nullptr) return;
  m_lastMs = NowMs();
  m_fn(m_context, total, total);
}

void ModuleState::setProgress(RkProgressFn fn, void* context) {
  m_progressContext.store(context);
  m_progressFn.store(fn);
}

int32_t RunCommand(ModuleState& state, const char* command, char* report, uint32_t reportSize,
                   const std::function<int32_t(std::string_view, Report&, Progress&)>& body) {
  RunningGuard running(state.m_running);
  Report out(report, reportSize);
  if (command == nullptr) {
    out.fail("コマンドがありません");
    out.finish(kErrCommand);
    return kErrCommand;
  }
  int32_t result = kErrInternal;
  try {
    Progress progress(state.m_progressFn.load(), state.m_progressContext.load());
    result = body(command, out, progress);
  } catch (const std::bad_alloc&) {
    out.fail("メモリが足りません", true);
    result = kErrMemory;
  } catch (const std::exception& e) {
    out.fail("内部エラー: " + SafeWriter::PrintableName(e.what(), NameCharset::Utf8), true);
  } catch (...) {
    out.fail("内部エラー", true);
  }
  out.finish(result);
  return result;
}

}  // namespace rkarc
