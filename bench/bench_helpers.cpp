// The path and name helpers the engine calls for every archive of a run:
// names and extensions, the display form, upper-casing, the digit cut, the
// stored spelling of a path on disk, and CP932 names to UTF-8.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "engine/PathHelpers.h"
#include "platform/Cp932.h"

namespace {

const QString kPath = QStringLiteral("/home/user/ダウンロード/archives/2024/日本語の名前-01.tar.gz");

void BM_BaseNameAndExtension(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(BaseName_Get(kPath, true, true));
    benchmark::DoNotOptimize(Exp_Get(kPath, true, true));
  }
}
BENCHMARK(BM_BaseNameAndExtension);

void BM_DispPath(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(DispPath_Get(kPath));
}
BENCHMARK(BM_DispPath);

void BM_UCaseAndDigitCut(benchmark::State& state) {
  const QString name = FileName_Get(kPath);
  for (auto _ : state) {
    benchmark::DoNotOptimize(UCase_Get(name));
    benchmark::DoNotOptimize(DigitCut_Get(name));
  }
}
BENCHMARK(BM_UCaseAndDigitCut);

// LongPath_Get and File_Check on a file five folders down, as the target
// list does for every name it is handed.
void BM_LongPathOnDisk(benchmark::State& state) {
  QTemporaryDir root;
  const QString folder = root.path() + "/a/B/c d/Ｅ/f";
  QDir().mkpath(folder);
  const QString file = folder + "/Archive.LZH";
  QFile(file).open(QIODevice::WriteOnly);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LongPath_Get(file));
    benchmark::DoNotOptimize(File_Check(file));
  }
}
BENCHMARK(BM_LongPathOnDisk);

// A member name as LZH and ZIP archives store it: CP932 bytes.
void BM_Cp932NameToUtf8(benchmark::State& state) {
  const std::string sjis = cp932::FromUtf8("書庫/日本語のファイル名_ﾊﾝｶｸ_0123.txt");
  for (auto _ : state) benchmark::DoNotOptimize(cp932::ToUtf8(sjis));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(sjis.size()));
}
BENCHMARK(BM_Cp932NameToUtf8);

}  // namespace

BENCHMARK_MAIN();
