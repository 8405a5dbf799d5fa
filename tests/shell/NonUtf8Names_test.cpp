// Names that are not UTF-8 through the whole window, with the real modules:
// the folder pane and the source file pane show them readably and marked,
// 全て追加 and a double click keep their bytes, the run extracts into a folder
// named with the archive's bytes, the log shows the name as the panes do and
// saves a CP932 name as its bytes, and the extracted folder drags out, and an
// archive drops in, as its bytes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "engine/PathHelpers.h"
#include "platform/FileName.h"
#include "results/DragOutList.h"
#include "results/LogFile.h"
#include "source/FileList.h"
#include "source/FileListModel.h"
#include "tests/shell/MainWindowWorld.h"
#include "ui/FolderList.h"
#include "ui/FolderListModel.h"

namespace {

struct WindowRow {
  const char* label;
  QByteArray folder;         // a subfolder of the source folder
  QByteArray archive;        // in the source folder and in the subfolder
  const char* folderShown;   // in the folder pane
  const char* archiveShown;  // in the source file pane
  QByteArray out;            // the folder the run makes (upper case is on)
  QByteArray inLogFile;      // what the saved log holds of the archive's name
};

void PrintTo(const WindowRow& row, std::ostream* out) { *out << row.label; }

QByteArray FileUri(const QString& path) { return "file://" + FileNameBytes(path).toPercentEncoding("/"); }

class NonUtf8Window : public testing::TestWithParam<WindowRow> {};

TEST_P(NonUtf8Window, ListedAddedExtractedAndDraggedWithTheirBytes) {
  const WindowRow& row = GetParam();
  MainWindowWorld w;
  const bool zip = row.archive.endsWith(".zip");
  const QString made = zip ? w.makeZip("made.zip") : w.makeLzh("made.lzh");
  const QString folder = w.source + u'/' + FileNameFromBytes(row.folder);
  const QString archive = w.source + u'/' + FileNameFromBytes(row.archive);
  ASSERT_EQ(::mkdir(FileNameBytes(folder).constData(), 0755), 0);
  ASSERT_EQ(::link(FileNameBytes(made).constData(), (FileNameBytes(folder) + '/' + row.archive).constData()), 0);
  ASSERT_EQ(::rename(FileNameBytes(made).constData(), FileNameBytes(archive).constData()), 0);
  ASSERT_EQ(w.load(), frmRukasu::Start::ShowWindow);
  w.show();
  w.context->windows.inDir->setDirName(w.source);

  auto* dlbDir = w.window->findChild<QWidget*>("mdiInDir")->findChild<FolderList*>("dlbDir");
  auto* folders = static_cast<FolderListModel*>(dlbDir->model());
  const QModelIndex subfolder = folders->index(folders->rowOfIndex(0));
  EXPECT_EQ(subfolder.data().toString(), QString::fromUtf8(row.folderShown));
  auto* filFile = w.window->findChild<FileList*>("filFile");
  EXPECT_EQ(filFile->model()->index(0, 0).data().toString(), QString::fromUtf8(row.archiveShown));

  w.button("btnAddAll")->click();
  EXPECT_EQ(w.targets(), QStringList{archive});
  auto* lstFile = w.window->findChild<QListWidget*>("lstFile");
  EXPECT_EQ(lstFile->item(0)->text(), w.source + u'/' + QString::fromUtf8(row.archiveShown));

  dlbDir->scrollTo(subfolder);
  const QPoint at = dlbDir->visualRect(subfolder).center();
  QTest::mouseClick(dlbDir->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(dlbDir->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(filFile->files().folder(), folder);
  EXPECT_EQ(filFile->files().count(), 1);

  w.run(0);
  const QString out = w.dest + u'/' + FileNameFromBytes(row.out);
  EXPECT_TRUE(w.targets().isEmpty());
  EXPECT_EQ(w.extractedFolders(), QStringList{out});
  EXPECT_TRUE(File_Check(out + (zip ? "/doc/readme.txt" : "/lzh.txt")));
  const QStringList log = w.log();
  EXPECT_TRUE(log.value(0).endsWith("/source/" + QString::fromUtf8(row.archiveShown) + " ]"));
  for (const QString& line : log) EXPECT_FALSE(HasRawBytes(line)) << line.toStdString();
  EXPECT_TRUE(LogFileBytes(log).contains("/" + row.inLogFile));

  auto* lstOutFile = w.window->findChild<DragOutList*>("lstOutFile");
  lstOutFile->item(0)->setSelected(true);
  const std::unique_ptr<QMimeData> dragged(lstOutFile->selectedFileList());
  EXPECT_EQ(dragged->data("text/uri-list").trimmed(), FileUri(out));

  QMimeData dropped;  // as a file manager offers the archive
  dropped.setData("text/uri-list", FileUri(archive) + "\r\n");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
  QApplication::sendEvent(lstFile->viewport(), &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
  QApplication::sendEvent(lstFile->viewport(), &drop);
  QTRY_COMPARE(w.targets(), QStringList{archive});
}

// The folder and the archive as Japanese Windows names them.
INSTANTIATE_TEST_SUITE_P(Cp932Bytes, NonUtf8Window,
                         testing::Values(WindowRow{"FolderAndArchive", "\x83\x74\x83\x48\x83\x8B\x83\x5F",
                                                   "\x93\xFA\x96\x7B.lzh", "フォルダ［SJIS］", "日本.lzh［SJIS］",
                                                   "\x93\xFA\x96\x7B", "\x93\xFA\x96\x7B.lzh"}),
                         [](const auto& info) { return std::string(info.param.label); });

// Bytes that are neither UTF-8 nor CP932.
INSTANTIATE_TEST_SUITE_P(OtherInvalidBytes, NonUtf8Window,
                         testing::Values(WindowRow{"FolderAndArchive", "dir\xFF", "a\xFF.zip",
                                                   "dir\\xFF［UTF-8 以外］", "a\\xFF.zip［UTF-8 以外］", "A\xFF",
                                                   "a\\xFF.zip"}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
