// How long the source panes take to list a large folder: 50,000 archives for
// the file list, 50,000 subfolders for the folder list, read and sorted, then
// shown in the list views (offscreen).
#include "bench/WidgetBenchmarks.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "source/FileList.h"
#include "source/FileListModel.h"
#include "ui/FolderList.h"

namespace {

constexpr int kEntries = 50000;
// Every kind the corpus holds, so that the whole folder is listed.
const char* const kPattern = "*.LZH;*.ZIP;*.ARJ;*.CAB;*.GZ;*.BZ2";

// One folder of files and one of subfolders, made once for every benchmark;
// or the corpus's folder of 50,000 files and 2,000 subfolders when
// RUKASU2_BENCH_TREE names it (bench/make_corpus.py --only tree).
struct LargeFolders {
  QTemporaryDir root;
  QString files, folders;
  LargeFolders() : files(root.filePath("files")), folders(root.filePath("folders")) {
    if (const QString tree = qEnvironmentVariable("RUKASU2_BENCH_TREE"); !tree.isEmpty()) {
      files = folders = tree;
      return;
    }
    QDir().mkpath(files);
    QDir().mkpath(folders);
    for (int i = 0; i < kEntries; ++i) {
      // Names out of order and in mixed case, so that the sort has work to do.
      const QString name = QString("%1Archive-%2").arg(i % 2 ? "a" : "B").arg((i * 7919) % kEntries, 5, 10, QChar('0'));
      QFile(files + "/" + name + (i % 3 ? ".lzh" : ".ZIP")).open(QIODevice::WriteOnly);
      QDir().mkdir(folders + "/" + name);
    }
  }
};

LargeFolders& Folders() {
  static LargeFolders folders;
  return folders;
}

void BM_FileListModel(benchmark::State& state) {
  FileListModel model;
  model.setPattern(kPattern);
  for (auto _ : state) {
    model.setFolder(Folders().files);
    benchmark::DoNotOptimize(model.count());
  }
  state.counters["files"] = model.count();
}
BENCHMARK(BM_FileListModel)->Unit(benchmark::kMillisecond);

void BM_FileListShown(benchmark::State& state) {
  FileList view;
  view.files().setPattern(kPattern);
  view.resize(300, 400);
  view.show();
  for (auto _ : state) {
    view.files().setFolder(Folders().files);
    view.selectAll();
    view.scrollToBottom();
    QApplication::processEvents();
  }
  state.counters["files"] = view.files().count();
}
BENCHMARK(BM_FileListShown)->Unit(benchmark::kMillisecond);

void BM_FolderListShown(benchmark::State& state) {
  FolderList view;
  view.resize(300, 400);
  view.show();
  for (auto _ : state) {
    view.setPath(Folders().folders);
    view.setListIndex(view.listCount() - 1);
    QApplication::processEvents();
  }
  state.counters["folders"] = view.listCount();
}
BENCHMARK(BM_FolderListShown)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWidgetBenchmarks(argc, argv, [] { Folders(); });  // made before the clock starts
}
