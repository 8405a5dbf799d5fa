// Extraction outcomes that a real module cannot produce on demand: a busy
// library, a full disk, a refused destination, a cancellation, skipped files.
// The library is a stand-in behind the same interface as the real modules.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

#include "archivers/common/ResultCodes.h"
#include "engine/Libraries.h"
#include "engine/basRukasu.h"
#include "settings/SettingsDefaults.h"
#include "tests/engine/FakeLibrary.h"
#include "tests/engine/RecordingListener.h"
#include "tests/support/TestSupport.h"
#include "text/MessageCatalogue.h"

using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

using M = ProductMsg;

QString P(ProductMsg id) { return MessageCatalogue::Product(id); }

struct Fixture {
  TempFolder tmp;
  Settings settings = DefaultSettings();
  Libraries libraries;
  RecordingListener listener;
  FakeLibrary* lzh = nullptr;
  QString arc;
  QString dest;

  explicit Fixture(int32_t result) {
    auto fake = std::make_unique<FakeLibrary>(result);
    lzh = fake.get();
    libraries.set(LibraryId::Unlha, std::move(fake));
    arc = tmp.write("in/Data.lzh", "not really an archive");
    dest = tmp.mkdir("out") + "/";
  }
  int16_t extract(int16_t mode = 0) { return basRukasu(settings, libraries, listener).Archive_Extract(arc, dest, mode); }
};

struct ResultCase {
  const char* label;
  int32_t rc;
  int16_t outcome;
  std::optional<ProductMsg> resultLine;  // the line the result adds
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.label; }

class LibraryResults : public testing::TestWithParam<ResultCase> {};

TEST_P(LibraryResults, GiveTheirLineAndOutcome) {
  const ResultCase& c = GetParam();
  Fixture f(c.rc);
  f.settings.File = 0;
  EXPECT_EQ(f.extract(), c.outcome);
  ASSERT_EQ(f.lzh->commands.size(), 1);
  QStringList expected = {f.listener.lines.value(0), P(M::LogLzhExtracting)};
  if (c.resultLine) expected << P(*c.resultLine);
  expected << P(c.outcome == 0 ? M::LogExtracted : M::LogNotExtracted);
  EXPECT_EQ(f.listener.lines, expected);
  EXPECT_EQ(f.listener.folders.size(), c.outcome == 0 ? 1 : 0);
  // Nothing was written, so the folder made for the archive is gone again.
  EXPECT_FALSE(QFileInfo::exists(f.tmp.file("out/DATA")));
}

INSTANTIATE_TEST_SUITE_P(ArchiveExtract, LibraryResults,
                         testing::Values(ResultCase{"Success", 0, 0, std::nullopt},
                                         ResultCase{"DiskFull", rkarc::kErrDiskFull, -1, M::LogDiskFull},
                                         ResultCase{"NotWritable", rkarc::kErrNotWritable, -1, M::LogNotWritable},
                                         ResultCase{"Cancelled", rkarc::kErrCancelled, -1, M::LogCancelled},
                                         ResultCase{"OtherFailure", rkarc::kErrDamaged, 1, std::nullopt},
                                         ResultCase{"Negative", -3, 1, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.label); });

// Skipped files count as success, but the kept members exist only in the
// archive: Delete keeps it and says why.
TEST(ArchiveExtract, SkippedFilesCountAsSuccessButTheArchiveIsNotDeleted) {
  Fixture f(3);
  f.settings.File = 3;  // delete the archive after a successful extraction
  EXPECT_EQ(f.extract(), 0);
  EXPECT_EQ(f.listener.lines.mid(1),
            QStringList({P(M::LogLzhExtracting), P(M::LogSkippedHead) + "3" + P(M::LogSkippedTail),
                         P(M::LogKeptSkipped), P(M::LogExtracted)}));
  EXPECT_EQ(P(M::LogSkippedHead) + "3" + P(M::LogSkippedTail),
            QString::fromUtf8("　スキップされたファイルが3あります"));
  EXPECT_TRUE(QFileInfo::exists(f.arc));
}

// A name that a quoted command can carry goes into it exactly as it is; one
// that it cannot goes over as another path to the same file and folder,
// made for the call and gone after it, whatever the module answered.
TEST(ArchiveExtract, CommandsCarryEveryNameAndStandInsGoAfterTheCall) {
  Fixture plain(0);
  plain.extract();
  EXPECT_EQ(plain.lzh->commands, QByteArrayList{"x -+ \"" + plain.arc.toUtf8() + "\" \"" + plain.dest.toUtf8() + "DATA/\""});
  for (const int32_t result : {rkarc::kOk, rkarc::kErrCancelled, rkarc::kErrDamaged}) {
    SCOPED_TRACE(result);
    Fixture f(result);
    f.settings.TmpDir = f.tmp.mkdir("tmp") + "/";
    f.arc = f.tmp.write("in/Da\"ta.lzh", "not really an archive");
    QByteArrayList paths;
    f.lzh->duringCommand = [&] {
      paths = f.lzh->commands.last().split('"');  // option, archive, blank, folder, nothing
      ASSERT_EQ(paths.size(), 5);
      EXPECT_EQ(ReadFile(paths[1]), "not really an archive");
      EXPECT_TRUE(QFileInfo(QString::fromUtf8(paths[3])).isDir());
      EXPECT_EQ(QFileInfo(QString::fromUtf8(paths[3])).canonicalFilePath(), f.tmp.file("out/DA\"TA"));
    };
    f.extract();
    ASSERT_EQ(paths.size(), 5);
    EXPECT_FALSE(QFileInfo::exists(QString::fromUtf8(paths[1])));
    EXPECT_TRUE(QDir(f.settings.TmpDir).isEmpty());
  }
  Fixture noTmpDir(0);  // the link has no place: the module is not called
  noTmpDir.settings.TmpDir = "relative/";
  noTmpDir.arc = noTmpDir.tmp.write("in/Da\"ta.lzh", "x");
  EXPECT_EQ(noTmpDir.extract(), 1);
  EXPECT_TRUE(noTmpDir.lzh->commands.isEmpty());
  EXPECT_EQ(noTmpDir.listener.lines.mid(1),
            QStringList({P(M::LogLzhExtracting), P(M::LogTmpDirUnusable), P(M::LogNotExtracted)}));
}

TEST(ArchiveExtract, BusyLibraryShowsItsNoticeAndIsNotCalled) {
  Fixture f(0);
  f.lzh->busy = true;
  f.settings.File = 3;
  EXPECT_EQ(f.extract(), 1);
  EXPECT_TRUE(f.lzh->commands.isEmpty());
  EXPECT_EQ(f.listener.notices, QStringList({QString::fromUtf8("現在UNLHA32.DLLは使用中です")}));
  EXPECT_EQ(f.listener.lines.mid(1), QStringList({P(M::LogLzhExtracting), P(M::LogNotExtracted)}));
  EXPECT_TRUE(QFileInfo::exists(f.arc));
}

// A stop result leaves the archive in place whatever the after-action says,
// and never removes a folder that was there before.
TEST(ArchiveExtract, FailureKeepsArchiveAndPreexistingFolder) {
  Fixture f(rkarc::kErrDiskFull);
  f.settings.File = 2;
  f.tmp.write("out/DATA/keep.txt", "mine");
  EXPECT_EQ(f.extract(), -1);
  EXPECT_TRUE(QFileInfo::exists(f.arc));
  EXPECT_TRUE(QFileInfo(f.tmp.file("out/DATA/keep.txt")).isFile());
}

// The archive changed while it was being extracted (another program wrote to
// it): neither a copy nor a move is made of it, and the line says why.
TEST(ArchiveExtract, ArchiveChangedDuringExtractionIsNotCopiedOrMoved) {
  for (int16_t action : {1, 2}) {
    SCOPED_TRACE(action);
    Fixture f(0);
    f.settings.File = action;
    f.lzh->duringCommand = [&f] {
      QFile file(f.arc);
      ASSERT_TRUE(file.open(QIODevice::Append));
      file.write("more");
    };
    EXPECT_EQ(f.extract(), 0);
    EXPECT_TRUE(QFileInfo::exists(f.arc));
    EXPECT_FALSE(QFileInfo::exists(f.tmp.file("out/DATA")));
    EXPECT_EQ(f.listener.lines.mid(1),
              QStringList({P(M::LogLzhExtracting), P(M::LogArchiveChanged), P(M::LogExtracted)}));
  }
}

// The one rule for the archive after its extraction: copied, moved or
// deleted only when the module proved it whole. Lines for the host that no
// module writes yet come from the stand-in; "%ARC%" is the archive as the
// command named it.
struct RuleCase {
  const char *label, *archive;
  int32_t rc;
  const char* head;
  int16_t action, outcome;
  bool archiveStays;
  QStringList lines;  // between the module's line and the last line
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.label; }

class ArchiveRule : public testing::TestWithParam<RuleCase> {};

TEST_P(ArchiveRule, DecidesWhetherTheArchiveMayGo) {
  const RuleCase& c = GetParam();
  Fixture f(c.rc);
  f.settings.File = c.action;
  f.settings.TmpDir = f.tmp.mkdir("tmp") + "/";
  f.arc = f.tmp.write(QString("in/") + c.archive, "not really an archive");
  f.lzh->reportFor = [&](const QByteArray& command) { return QByteArray(c.head).replace("%ARC%", command.split('"').value(1)); };
  EXPECT_EQ(f.extract(), c.outcome);
  EXPECT_EQ(QFileInfo::exists(f.arc), c.archiveStays);
  EXPECT_EQ(f.listener.lines.mid(2, f.listener.lines.size() - 3), QStringList(c.lines).replaceInStrings("%ARC%", f.arc));
  EXPECT_EQ(f.listener.lines.last(), P(c.outcome == 0 ? M::LogExtracted : M::LogExtractedUnproven));
}

const QString kIgnored = QString::fromUtf8("\u3000\u3000末尾のデータを無視しました");

INSTANTIATE_TEST_SUITE_P(
    ArchiveExtract, ArchiveRule,
    testing::Values(
        RuleCase{"KeepLineKeepsADeletedArchive", "Data.lzh", 0, "keep\t末尾のデータを無視しました\n", 3, 1, true,
                 {P(M::LogKeptUnproven), kIgnored}},
        RuleCase{"KeepLineCountsWithoutAnAction", "Data.lzh", 0, "keep\t末尾のデータを無視しました\n", 0, 1, true,
                 {P(M::LogKeptUnproven), kIgnored}},
        RuleCase{"KeepLineNamesTheRealFile", "Da\"ta.lzh", 0, "keep\t%ARC%: 別の名前で書きました\n", 2, 1, true,
                 {P(M::LogKeptUnproven), QString::fromUtf8("\u3000\u3000%ARC%: 別の名前で書きました")}},
        RuleCase{"SkippedKeepsAMovedArchive", "Data.lzh", 3, "", 2, 0, true, {P(M::LogSkippedHead) + "3" + P(M::LogSkippedTail), P(M::LogKeptSkipped)}},
        RuleCase{"SetNamedInPartIsKept", "Data.lzh", 0, "volumes\t3\nvolume\tData.l01\n", 3, 0, true, {P(M::LogSetNotWhole)}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
