// The entry-point wrapper every module uses: running count, exceptions turned
// into result codes, the report buffer, and progress reporting.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"

namespace {

using rkarc::Progress;
using rkarc::Report;

struct Call {
  uint64_t done;
  uint64_t total;
};

void Record(void* context, uint64_t done, uint64_t total) {
  static_cast<std::vector<Call>*>(context)->push_back({done, total});
}

TEST(RunCommand, CountsRunningAndPassesTheCommandText) {
  rkarc::ModuleState state;
  char buffer[64];
  int32_t seenRunning = -1;
  std::string seenText;
  const int32_t rc = rkarc::RunCommand(state, "-x \"a.zip\" \"out/\"", buffer, sizeof buffer,
                                       [&](std::string_view text, Report& report, Progress&) {
                                         seenRunning = state.running();
                                         seenText = text;
                                         report.add("done");
                                         return 3;
                                       });
  EXPECT_EQ(rc, 3);
  EXPECT_EQ(seenRunning, 1);
  EXPECT_EQ(state.running(), 0);
  EXPECT_EQ(seenText, "-x \"a.zip\" \"out/\"");
  EXPECT_STREQ(buffer, "done\n");
}

TEST(RunCommand, TurnsFailuresIntoResultCodes) {
  rkarc::ModuleState state;
  char buffer[256];
  const auto run = [&](const char* command, const std::function<void()>& action) {
    return rkarc::RunCommand(state, command, buffer, sizeof buffer, [&](std::string_view, Report&, Progress&) {
      action();
      return 0;
    });
  };
  EXPECT_EQ(run(nullptr, [] {}), rkarc::kErrCommand);
  EXPECT_EQ(run("x", [] { throw std::bad_alloc(); }), rkarc::kErrMemory);
  EXPECT_EQ(run("x", [] { throw std::runtime_error("broken\nline"); }), rkarc::kErrInternal);
  EXPECT_STREQ(buffer, "reason\t内部エラー: broken_line\n内部エラー: broken_line\n");
  EXPECT_EQ(run("x", [] { throw 42; }), rkarc::kErrInternal);
  EXPECT_EQ(state.running(), 0);
}

TEST(RunCommand, ReportsProgressToTheRegisteredCallbackAndAlwaysTheEnd) {
  rkarc::ModuleState state;
  std::vector<Call> calls;
  state.setProgress(&Record, &calls);
  char buffer[16];
  rkarc::RunCommand(state, "x", buffer, sizeof buffer, [](std::string_view, Report&, Progress& progress) {
    progress.update(10, 100);
    progress.finish(100);
    return 0;
  });
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].done, 10u);
  EXPECT_EQ(calls[1].done, 100u);
  EXPECT_EQ(calls[1].total, 100u);

  state.setProgress(nullptr, nullptr);
  rkarc::RunCommand(state, "x", buffer, sizeof buffer, [](std::string_view, Report&, Progress& progress) {
    progress.finish(5);  // nobody listening: nothing to call
    return 0;
  });
  EXPECT_EQ(calls.size(), 2u);
}

}  // namespace
