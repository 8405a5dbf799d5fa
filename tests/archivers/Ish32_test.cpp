// ISH32.DLL loaded by file name as the program loads it: every ISH sample
// decoded and compared with the manifest, damaged and hostile texts, the
// unquoted command form with blanks in paths, the probe.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "tests/archivers/SafeWriterTestUtil.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::CompareWithManifest;
using testing_support::ManifestFiles;
using testing_support::ManifestRowsOf;
using testing_support::ReadFile;
using testing_support::Sample;
using testing_support::Sha256Hex;
using testing_support::Tree;

constexpr char kDataSha[] = "461094e01d540aecc8832d8967fe5d05a51b2731e7a6dd3881b064c8c4b7f857";
constexpr char kS58Sha[] = "3b15a831c307d651929a025e5947be2d68e542b490df35f98ff99b344364cf6e";

class Ish32 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(module.loaded()) << module.error(); }

  // The command as the program builds it: OPT + " " + ARC + " /F=" + OUT.
  int32_t decode(const QString& archive, const std::string& options = "/m") {
    report.clear();
    return module.command(options + " " + archive.toStdString() + " /F=" + bench.out() + "/", &report);
  }
  QString out() const { return QString::fromStdString(bench.out()); }
  QStringList written() const { return Tree(out()); }
  QByteArray outSha(const QString& name) const { return Sha256Hex(ReadFile(out() + "/" + name)); }
  // A copy of a sample at `relative` inside the temporary folder.
  QString copySample(const QString& sample, const QString& relative) const {
    return bench.tmp().write(relative, ReadFile(Sample(sample)));
  }

  testing_support::TestModule module{"ISH32.DLL", "Ish"};
  testing_support::WriterBench bench;
  std::string report;
};

TEST_F(Ish32, EverySampleThatShouldDecodeMatchesTheManifest) {
  int checked = 0;
  for (const QString& file : ManifestFiles("ish/")) {
    if (ManifestRowsOf(file).front().expect != "ok") continue;
    SCOPED_TRACE(file.toStdString());
    testing_support::WriterBench fresh;
    const int32_t rc = module.command("/m " + Sample(file).toStdString() + " /F=" + fresh.out() + "/", &report);
    EXPECT_EQ(rc, 0) << report;
    EXPECT_EQ(CompareWithManifest(QString::fromStdString(fresh.out()), file), "");
    EXPECT_EQ(fresh.outside(), QStringList());
    ++checked;
  }
  // 4 variants x 8 files, 5 rebuilt damaged texts, TERM.LOG, two volumes.
  EXPECT_EQ(checked, 40);
}

TEST_F(Ish32, UnrecoverableTextsFailAndLeaveNothing) {
  const struct {
    const char* file;
    int32_t code;
  } rows[] = {{"ish/damaged/DATA_sjis_3bad.ish", rkarc::kErrDamaged},
              {"ish/damaged/DATA_jis7_trunc.ish", rkarc::kErrDamaged},
              {"ish/damaged/DATA_jis7_badcrc.ish", rkarc::kErrChecksum}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_EQ(decode(Sample(row.file)), row.code) << report;
    EXPECT_NE(report.find("DATA.BIN"), std::string::npos) << report;
    EXPECT_EQ(written(), QStringList());
    EXPECT_EQ(bench.outside(), QStringList());
  }
}

TEST_F(Ish32, AFailedFileDoesNotKeepTheOthersInTheTextFromDecoding) {
  const QString text = bench.tmp().write(
      "two.log", ReadFile(Sample("ish/damaged/DATA_sjis_3bad.ish")) + ReadFile(Sample("ish/jis8/S58.ish")));
  EXPECT_EQ(decode(text), rkarc::kErrDamaged);
  EXPECT_EQ(written(), QStringList{"S58.BIN"});
  EXPECT_EQ(outSha("S58.BIN"), kS58Sha);
}

TEST_F(Ish32, HostileHeaderNameIsReducedToABareName) {
  EXPECT_EQ(decode(Sample("hostile/ish_dotdot.ish")), 0) << report;
  EXPECT_EQ(written(), QStringList{"EV.TXT"});
  EXPECT_EQ(outSha("EV.TXT"), kS58Sha);
  EXPECT_NE(report.find("../../EV.TXT"), std::string::npos) << report;
  EXPECT_EQ(bench.outside(), QStringList());
}

TEST_F(Ish32, ALoneVolumeIsAnIncompleteSet) {
  const QString second = copySample("ish/multivol/DATA.i02", "vol/DATA.i02");
  EXPECT_EQ(decode(second), rkarc::kErrMultiVolume) << report;
  EXPECT_NE(report.find("DATA.BIN"), std::string::npos) << report;
  EXPECT_EQ(written(), QStringList());

  // With its sibling beside it (another letter case), the set decodes.
  copySample("ish/multivol/DATA.i01", "vol/data.I01");
  EXPECT_EQ(decode(second), 0) << report;
  EXPECT_EQ(outSha("DATA.BIN"), kDataSha);
}

TEST_F(Ish32, PathsWithBlanksNeedNoQuotes) {
  const QString archive = copySample("ish/jis7/DATA.ish", "my downloads/DATA 1.ISH");
  const std::string folder = bench.tmp().mkdir("out dir/DATA 1").toStdString() + "/";
  EXPECT_EQ(module.command("/m " + archive.toStdString() + " /F=" + folder, &report), 0) << report;
  EXPECT_EQ(Sha256Hex(ReadFile(QString::fromStdString(folder) + "DATA.BIN")), kDataSha);

  EXPECT_EQ(module.command("/m /q \"" + archive.toStdString() + "\" /F=\"" + folder + "\"", &report), 1);
  EXPECT_NE(report.find("/q"), std::string::npos) << report;
}

TEST_F(Ish32, TextsWithoutIshAndBadCommandsFail) {
  const QString chat = bench.tmp().write("chat.log", QByteArray("hello\r\n").repeated(50) + QByteArray(100, '!'));
  EXPECT_EQ(decode(chat), rkarc::kErrNotArchive);
  EXPECT_EQ(module.command("/m " + Sample("ish/jis7/S58.ish").toStdString() + " /F=" + bench.out() + "/none/"),
            rkarc::kErrOutputFolder);
  EXPECT_EQ(written(), QStringList());
}

TEST_F(Ish32, CheckArchiveAnswersOneOnlyForTextWithAValidHeader) {
  for (const char* file : {"ish/jis7/EMPTY.ish", "ish/jis8/S60.ish", "ish/sjis/README.ish", "ish/nonkana/DATA.ish",
                           "ish/TERM.LOG", "ish/multivol/DATA.i02", "ish/damaged/DATA_sjis_3bad.ish"})
    EXPECT_EQ(module.checkArchive(Sample(file).toStdString()), 1) << file;
  const QString headerless = bench.tmp().write("cut.ish", ReadFile(Sample("ish/jis7/DATA.ish")).mid(400));
  for (const QString& path : {headerless, Sample("lzh/lhasa/unlha32/lh3.lzh"), Sample("README.md"),
                              bench.tmp().write("empty.log", ""), bench.tmp().path(), bench.tmp().file("absent")})
    EXPECT_EQ(module.checkArchive(path.toStdString()), 0) << path.toStdString();
  EXPECT_EQ(module.checkArchive(""), 0);
}

struct Observed {
  testing_support::TestModule* module;
  int32_t runningSeen = 0;
  uint64_t lastDone = 0;
  uint64_t lastTotal = 0;
};

void OnProgress(void* context, uint64_t done, uint64_t total) {
  auto* seen = static_cast<Observed*>(context);
  seen->runningSeen = seen->module->running();
  seen->lastDone = done;
  seen->lastTotal = total;
}

TEST_F(Ish32, VersionRunningAndProgress) {
  EXPECT_EQ(module.version(), 100);
  EXPECT_EQ(module.running(), 0);
  auto setProgress = reinterpret_cast<void (*)(RkProgressFn, void*)>(module.symbol("IshSetProgress"));
  ASSERT_NE(setProgress, nullptr);
  Observed seen{&module};
  setProgress(&OnProgress, &seen);
  EXPECT_EQ(decode(Sample("ish/TERM.LOG")), 0);
  setProgress(nullptr, nullptr);
  EXPECT_NE(seen.runningSeen, 0);
  EXPECT_EQ(seen.lastTotal, static_cast<uint64_t>(QFile(Sample("ish/TERM.LOG")).size()));
  EXPECT_EQ(seen.lastDone, seen.lastTotal);
  EXPECT_EQ(module.running(), 0);
}

}  // namespace
