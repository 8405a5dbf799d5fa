// The outcome of an extraction is true and the archive survives every
// failure, through the real modules: no success without a usable destination
// or with a damaged stream, no archive deleted while some of its members
// exist nowhere else, and Copy and Move that work on file systems without
// hard links, and fail visibly where they cannot work.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

#include "tests/engine/EngineFixture.h"
#include "tests/support/FaultFolder.h"

using testing_support::ReadFile;

namespace {

using M = ProductMsg;

QString Lines(const EngineFixture& f) { return f.listener.lines.join("\n"); }

// Incompressible bytes, so that archives of them are as large as their content.
QByteArray Noise(int size) {
  QByteArray data(size, '\0');
  for (int i = 0; i < size; ++i) data[i] = static_cast<char>((i * 2654435761u) >> 24);
  return data;
}

TEST(ArchiveOutcome, NoUsableDestinationRefusesEveryArchive) {
  EngineFixture f;
  const QString a = f.makeZip("a.zip", {"a.txt"}), b = f.makeTarGz("b.tar.gz", {"b.txt"});
  const QString gone = f.tmp.mkdir("gone") + "/";
  QDir(gone).removeRecursively();
  for (const QString& dest : {QString(), QStringLiteral("relative/"), gone}) {
    for (int16_t mode : {0, 1}) {
      f.listener = RecordingListener();
      basRukasu engine(f.settings, f.libraries, f.listener);
      EXPECT_EQ(engine.Archive_Extract(a, dest, mode) + engine.Archive_Extract(b, dest, mode), 2);
      EXPECT_EQ(f.listener.lines.count(P(M::LogNoDestination)), 2) << dest.toStdString() << " mode " << mode;
    }
  }
  EXPECT_FALSE(QFileInfo::exists(gone));
  EXPECT_FALSE(QFileInfo::exists("/A/a.txt"));
}

// A damaged stream whose output exists already was passed over as a success.
TEST(ArchiveOutcome, DamagedSingleFileIsAFailureWhateverWasSkipped) {
  EngineFixture f;
  f.settings.File = 3;  // a false success would delete the archive
  QByteArray cutGz = ReadFile(f.makeGz("cut.txt.gz", Noise(200000)));
  cutGz.chop(100);
  const QString cut = f.tmp.write("source/cut.txt.gz", cutGz);
  f.tmp.write("dest/CUT.TXT/cut.txt", "kept, so the stream was never read");
  EXPECT_EQ(f.extract(cut), 1) << Lines(f).toStdString();
  EXPECT_TRUE(QFileInfo::exists(cut));
}

// Whole streams followed by a few bytes of text: every member, a line saying
// what was ignored, and the archive kept even with Delete, since the module
// could not prove those bytes were nothing.
TEST(ArchiveOutcome, TrailingBytesAfterCompleteStreamsKeepTheArchiveWithALine) {
  EngineFixture f;
  f.settings.File = 3;
  const QString arc = f.makeTarGz("padded.tar.gz", {"p.txt"});
  f.tmp.write("source/padded.tar.gz", ReadFile(arc) + "trailer\n");
  EXPECT_EQ(f.extract(arc), 1) << Lines(f).toStdString();
  EXPECT_EQ(ReadFile(f.dest + "PADDED/p.txt"), "content of p.txt");
  EXPECT_TRUE(QFileInfo::exists(arc));
  const QStringList lines = f.linesAfterHeading();
  ASSERT_EQ(lines.size(), 5);
  EXPECT_TRUE(lines[1].contains(QString::fromUtf8("8バイト）は無視しました")));
  EXPECT_EQ(lines[2], P(M::LogKeptUnproven));
}

TEST(ArchiveOutcome, DeleteKeepsAnArchiveWhoseMembersWereSkipped) {
  EngineFixture f;
  f.settings.File = 3;
  const QString arc = f.makeZip("k.zip", {"one.txt", "two.txt"});
  f.tmp.write("dest/K/one.txt", "older");
  EXPECT_EQ(f.extract(arc), 0);
  EXPECT_TRUE(QFileInfo::exists(arc));
  EXPECT_EQ(f.linesAfterHeading(),
            QStringList({P(M::LogZipExtracting), P(M::LogSkippedHead) + "1" + P(M::LogSkippedTail),
                         P(M::LogKeptSkipped), P(M::LogExtracted)}));
}

// exFAT (through FUSE) has no hard links and no O_TMPFILE: the copy of Copy
// and Move is placed under a temporary name there, and nothing else is left.
TEST(ArchiveOutcome, CopyAndMoveOnAFileSystemWithoutHardLinks) {
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::ExFat);
  if (out.empty()) return;
  EngineFixture f;
  f.dest = QString::fromStdString(out) + "/";
  const QString copied = f.makeZip("copied.zip", {"c.txt"}), moved = f.makeZip("moved.zip", {"m.txt"});
  const QByteArray movedBytes = ReadFile(moved);
  f.settings.File = 1;
  EXPECT_EQ(f.extract(copied), 0) << Lines(f).toStdString();
  f.settings.File = 2;
  EXPECT_EQ(f.extract(moved), 0) << Lines(f).toStdString();
  EXPECT_EQ(ReadFile(f.dest + "COPIED/copied.zip"), ReadFile(copied));
  EXPECT_EQ(ReadFile(f.dest + "MOVED/moved.zip"), movedBytes);
  EXPECT_FALSE(QFileInfo::exists(moved));
  EXPECT_EQ(testing_support::Tree(f.dest),
            QStringList({"COPIED/", "COPIED/c.txt", "COPIED/copied.zip", "MOVED/", "MOVED/m.txt", "MOVED/moved.zip"}));
}

// A copy that does not fit: its line, the archive's entry stays, the archive
// stays, and no part of the copy is left.
TEST(ArchiveOutcome, FailedCopyIsReportedAndLeavesNothing) {
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::TinyTmpfs);
  if (out.empty()) return;
  EngineFixture f;
  f.dest = QString::fromStdString(out) + "/";
  f.tmp.write("scratch/big.bin", Noise(600 * 1024));
  const QString arc = f.source + "/big.zip";
  ASSERT_EQ(testing_support::Run("zip", {"-q", "-0", arc, "big.bin"}, f.tmp.file("scratch")), 0);
  for (int16_t action : {1, 2}) {
    SCOPED_TRACE(action);
    f.settings.File = action;
    EXPECT_EQ(f.extract(arc, 1), 1) << Lines(f).toStdString();
    const ProductMsg why = action == 1 ? M::LogCopyFailed : M::LogMoveCopyFailed;
    EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogZipExtracting), P(why), P(M::LogExtracted)}));
    EXPECT_TRUE(QFileInfo::exists(arc));
    EXPECT_EQ(testing_support::Tree(f.dest), QStringList({"big.bin"}));
    QFile::remove(f.dest + "big.bin");
  }
}

// An archive on another file system goes to the Trash at its top; where no
// Trash can be made there, it is removed outright and the line says so.
TEST(ArchiveOutcome, DeleteUsesTheTrashOfTheArchivesFileSystemOrSaysThereIsNone) {
  const std::string top = testing_support::FaultFolder(testing_support::FaultMount::TinyTmpfs);
  if (top.empty()) return;
  EngineFixture f;
  f.settings.File = 3;
  const QString mount = QString::fromStdString(top), trash = mount + "/.Trash-" + QString::number(getuid());
  for (const bool trashUsable : {true, false}) {
    if (!trashUsable) {  // a file where the Trash would be
      QDir(trash).removeRecursively();
      QFile file(trash);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString name = trashUsable ? "trashed.zip" : "gone.zip", arc = mount + "/" + name;
    ASSERT_TRUE(QFile::copy(f.makeZip(name, {name + ".txt"}), arc));
    ASSERT_EQ(f.extract(arc), 0) << Lines(f).toStdString();
    EXPECT_FALSE(QFileInfo::exists(arc));
    EXPECT_EQ(QFileInfo::exists(trash + "/files/" + name), trashUsable);
    EXPECT_EQ(f.linesAfterHeading().contains(P(M::LogDeletedWithoutTrash)), !trashUsable);
  }
}

}  // namespace
