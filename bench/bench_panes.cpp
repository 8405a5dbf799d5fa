// How the result log pane copes with long runs: filling it with 30000 and
// 100000 lines, appending once it trims its oldest line on every append, and
// the same with the event loop turning between archives as the batch run does,
// and a log held back past the threshold by a click on its first line.
// Run: <build>/bench/bench_panes (offscreen unless QT_QPA_PLATFORM says otherwise).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

#include "engine/Libraries.h"
#include "results/mdiStatus.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsStore.h"
#include "shell/AppContext.h"

namespace {

// A shown result log pane over a throw-away settings store.
struct ShownLog {
  QTemporaryDir folder;
  SettingsStore store{folder.path()};
  Libraries libraries;
  AppContext context{store, libraries};
  mdiStatus pane{context};

  ShownLog() {
    context.settings = DefaultSettings();
    pane.resize(600, 400);
    pane.show();
    QApplication::processEvents();
  }
  ~ShownLog() { pane.close(); }
  void fill(int lines) {
    for (int i = 0; i < lines; ++i)
      pane.ListInAdd(QStringLiteral("　解凍しました: /home/user/archives/file%1.lzh").arg(i));
  }
};

// Lines from an empty log to N, then one turn of the event loop that lays
// the view out.
void BM_StatusFill(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ShownLog log;
    log.fill(lines);
    QApplication::processEvents();
    benchmark::DoNotOptimize(log.pane.currentLine());
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_StatusFill)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One append on a log that holds 30002 lines and drops its oldest line.
void BM_StatusAppendWhileTrimming(benchmark::State& state) {
  ShownLog log;
  log.fill(30002);
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) log.pane.ListInAdd(QStringLiteral("line %1").arg(++i));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StatusAppendWhileTrimming);

// A batch of N lines (one archive's worth) and then one turn of the event
// loop, on a log past the threshold, as an interactive run does it.
void BM_StatusArchiveThenEvents(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  ShownLog log;
  log.fill(30002);
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    for (int n = 0; n < lines; ++n) log.pane.ListInAdd(QStringLiteral("line %1").arg(++i));
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_StatusArchiveThenEvents)->Arg(1)->Arg(5)->Arg(100)->Unit(benchmark::kMicrosecond);

// A log the user held back by clicking its first line when it held 30002
// lines: the next 30000 appends only add, and the log grows to 60002 lines.
void BM_StatusHeldBack(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto log = std::make_unique<ShownLog>();
    log->fill(30002);
    auto* view = log->pane.findChild<QListView*>(QStringLiteral("lstKekka"));
    view->setCurrentIndex(view->model()->index(0, 0));
    QApplication::processEvents();
    state.ResumeTiming();
    log->fill(30000);
    QApplication::processEvents();
    state.PauseTiming();
    benchmark::DoNotOptimize(log->pane.lines().size());
    log.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 30000);
}
BENCHMARK(BM_StatusHeldBack)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir config;
  setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
