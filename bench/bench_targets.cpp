// The target list pane at its limit of 1,000 archives: filled entry by entry
// as the source file pane does (each new name compared with those listed),
// and from a command line of 1,000 real files, each resolved on disk and
// checked against the enabled kinds with the real archiver modules.
// Run: <build>/bench/bench_targets (offscreen unless QT_QPA_PLATFORM says otherwise).
#include "bench/WidgetBenchmarks.h"

#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "source/mdiFile.h"
#include "source/mdiInFile.h"

namespace {

constexpr int kEntries = mdiFile::kMaxEntries;
const char* const kKinds[] = {"lzh", "zip", "tar.gz", "arj", "cab", "tar.bz2", "gz"};

// A shown target list with the real source file pane beside it.
struct ShownTargets : BenchContext {
  mdiInFile inFile{context};
  mdiFile pane{context};

  ShownTargets() {
    Dll_Check(libraries);
    context.windows.inFile = &inFile;
    context.windows.file = &pane;
    inFile.Pattern_Make();
    pane.resize(400, 300);
    pane.show();
    QApplication::processEvents();
  }
};

// 1,000 empty archives in one folder, made once.
struct ArchiveFolder {
  QTemporaryDir root;
  QStringList files;
  ArchiveFolder() {
    for (int i = 0; i < kEntries; ++i) {
      files << root.filePath(QString("archive%1.%2").arg(i, 4, 10, QChar('0')).arg(kKinds[i % 7]));
      QFile(files.back()).open(QIODevice::WriteOnly);
    }
  }
};

const ArchiveFolder& Archives() {
  static const ArchiveFolder folder;
  return folder;
}

void BM_TargetListAdd1000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto shown = std::make_unique<ShownTargets>();
    ShownTargets& targets = *shown;
    state.ResumeTiming();
    for (const QString& file : Archives().files) targets.pane.ListInAdd(file);
    QApplication::processEvents();
    benchmark::DoNotOptimize(targets.pane.count());
    state.PauseTiming();  // the pane's teardown is not what is measured
    shown.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TargetListAdd1000)->Unit(benchmark::kMillisecond);

void BM_TargetListFromCommandLine1000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto shown = std::make_unique<ShownTargets>();
    ShownTargets& targets = *shown;
    state.ResumeTiming();
    for (const QString& file : Archives().files) targets.pane.Gaibu_ListInAdd(file);
    QApplication::processEvents();
    benchmark::DoNotOptimize(targets.pane.count());
    state.PauseTiming();
    shown.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TargetListFromCommandLine1000)->Unit(benchmark::kMillisecond);

// Removing every entry one by one from the top, as the batch run takes each
// finished archive off the list.
void BM_TargetListDrain1000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto shown = std::make_unique<ShownTargets>();
    ShownTargets& targets = *shown;
    for (const QString& file : Archives().files) targets.pane.ListInAdd(file);
    state.ResumeTiming();
    while (targets.pane.count() > 0) targets.pane.removeEntry(0);
    QApplication::processEvents();
    state.PauseTiming();
    shown.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TargetListDrain1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWidgetBenchmarks(argc, argv, [] {
    // The modules of this build (bench/../archivers), unless the caller names them.
    if (!qEnvironmentVariableIsSet("RUKASU2_SYSTEM_DIR"))
      setenv("RUKASU2_SYSTEM_DIR", (QApplication::applicationDirPath() + "/../archivers").toLocal8Bit().constData(), 1);
    Archives();  // made before the clock starts
  });
}
