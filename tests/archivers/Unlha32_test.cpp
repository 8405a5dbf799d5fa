// UNLHA32.DLL loaded by file name as the program loads it: every LZH sample
// extracts to exactly its manifest, self-extracting files are found and other
// archive kinds are not claimed, double archives give up just the inner
// archive, damaged archives fail without partial files, and hostile ones
// write nothing outside the output folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ManifestFiles;
using testing_support::ManifestRowsOf;
using testing_support::Sample;
using testing_support::TempFolder;

const testing_support::TestModule& Module() {
  static const testing_support::TestModule module("UNLHA32.DLL", "Unlha");
  return module;
}

std::string Quoted(const QString& text) { return "\"" + text.toStdString() + "\""; }

// One extraction into <tmp>/out, with a sentinel file beside the output folder.
class Extraction {
 public:
  Extraction() {
    m_tmp.mkdir("out");
    m_tmp.write("sentinel.txt", "sentinel");
  }
  int32_t run(const QString& archive, const std::string& options = "x -+", const QStringList& members = {}) {
    std::string command = options + " " + Quoted(archive) + " " + Quoted(out() + "/");
    for (const QString& m : members) command += " " + Quoted(m);
    return Module().command(command, &m_report);
  }
  QString out() const { return m_tmp.file("out"); }
  QStringList tree() const { return testing_support::Tree(out()); }
  const std::string& report() const { return m_report; }
  const TempFolder& tmp() const { return m_tmp; }
  // Anything beside the output folder and the sentinel, or a changed sentinel.
  QStringList outside() const {
    QStringList found;
    for (const QString& entry : testing_support::Tree(m_tmp.path()))
      if (!entry.startsWith("out/") && entry != "sentinel.txt") found << entry;
    if (testing_support::ReadFile(m_tmp.file("sentinel.txt")) != "sentinel") found << "sentinel changed";
    return found;
  }

 private:
  TempFolder m_tmp;
  std::string m_report;
};

std::vector<std::string> Files(const QString& prefix, const QStringList& expects) {
  std::vector<std::string> out;
  for (const QString& f : ManifestFiles(prefix))
    if (expects.contains(ManifestRowsOf(f).front().expect)) out.push_back(f.toStdString());
  return out;
}

std::string RowName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

TEST(Unlha32, ExportsTheEntryPointsWithItsVersion) {
  ASSERT_TRUE(Module().loaded()) << Module().error();
  EXPECT_EQ(Module().version(), 100);
  EXPECT_EQ(Module().running(), 0);
  EXPECT_NE(Module().symbol("UnlhaSetProgress"), nullptr);
}

class LzhGoodSample : public testing::TestWithParam<std::string> {};

TEST_P(LzhGoodSample, ExtractsExactlyTheListedMembers) {
  const QString file = QString::fromStdString(GetParam());
  Extraction x;
  EXPECT_EQ(x.run(Sample(file)), rkarc::kOk) << x.report();
  const QString diff = testing_support::CompareWithManifest(x.out(), file);
  EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
  EXPECT_TRUE(x.outside().isEmpty()) << x.outside().join(", ").toStdString();
  EXPECT_EQ(Module().checkArchive(Sample(file).toStdString()), 1);
}

INSTANTIATE_TEST_SUITE_P(Manifest, LzhGoodSample, testing::ValuesIn(Files("lzh/", {"ok"})), RowName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LzhGoodSample);

TEST(Unlha32, ReportsUnsupportedMethodsAndWritesNothingForThem) {
  for (const std::string& file : Files("lzh/", {"unsupported"})) {
    SCOPED_TRACE(file);
    Extraction x;
    EXPECT_EQ(x.run(Sample(QString::fromStdString(file))), rkarc::kErrUnsupported);
    EXPECT_NE(x.report().find("-lh"), std::string::npos) << x.report();
    EXPECT_TRUE(x.tree().isEmpty()) << x.tree().join(", ").toStdString();
  }
}

// Whatever the probe is asked about, only files holding an LZH archive say yes:
// the program probes .EXE files with this module before ZIP, ARJ, CAB and RAR.
TEST(Unlha32, CheckArchiveClaimsOnlyLzhArchives) {
  int probed = 0;
  for (const QString& file : ManifestFiles("")) {
    const QString expect = ManifestRowsOf(file).front().expect;
    const bool lzh = file.startsWith("lzh/") || file.endsWith(".lzh") || file.endsWith(".x");
    const bool whole = expect == "ok" || expect == "unsupported" || expect == "safe" ||
                       file.startsWith("damaged/lzh_lh");
    if (lzh && !whole) continue;  // damaged first headers: either answer is defensible
    const int32_t answer = Module().checkArchive(Sample(file).toStdString());
    if (lzh && file != "damaged/empty.lzh")
      EXPECT_EQ(answer, 1) << file.toStdString();
    else
      EXPECT_NE(answer, 1) << file.toStdString();
    ++probed;
  }
  EXPECT_GT(probed, 100);
  EXPECT_EQ(Module().checkArchive("/nonexistent/x.lzh"), 0);
}

struct DoubleCase {
  const char* outer;
  const char* member;  // as the first pass names it
  const char* inner;   // the manifest row of the inner archive
};

TEST(Unlha32, FirstPassOfADoubleArchiveExtractsJustTheInnerArchive) {
  const DoubleCase cases[] = {{"double/b.zip.lzh", "b.zip", "b.zip"},
                              {"double/c.lzh.lzh", "C.LZH", "c.lzh"}};  // letter case as the file was renamed
  for (const DoubleCase& c : cases) {
    SCOPED_TRACE(c.outer);
    Extraction x;
    ASSERT_EQ(x.run(Sample(c.outer), "x -+", {c.member}), rkarc::kOk) << x.report();
    EXPECT_EQ(x.tree(), QStringList{c.inner});
    const auto rows = ManifestRowsOf(c.outer);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(testing_support::Sha256Hex(testing_support::ReadFile(x.out() + "/" + c.inner)), rows[0].sha256);
  }
  // The inner c.lzh is lh5_h1.lzh: the second pass gives its members.
  Extraction first;
  ASSERT_EQ(first.run(Sample("double/c.lzh.lzh"), "x -+", {"c.lzh"}), rkarc::kOk);
  Extraction second;
  EXPECT_EQ(second.run(first.out() + "/c.lzh"), rkarc::kOk) << second.report();
  EXPECT_TRUE(testing_support::CompareWithManifest(second.out(), "lzh/lh5_h1.lzh").isEmpty());
}

struct DamagedCase {
  const char* file;
  const char* origin;  // the good archive it was made from
  const char* lost;    // the member that must not appear, or null
  int32_t code;        // the expected result, or 0 for any failure
};

// Damage fails the archive and its member, leaves no partial or temporary
// file, and every member outside the damage is still extracted whole.
TEST(Unlha32, DamagedArchivesFailAndKeepOnlyWholeMembers) {
  const DamagedCase cases[] = {
      {"damaged/lzh_lh5_flip.lzh", "lzh/lh5_h1.lzh", nullptr, 0},
      {"damaged/lzh_lh5_trunc.lzh", "lzh/lh5_h1.lzh", nullptr, rkarc::kErrDamaged},
      {"damaged/lzh_lh0_flip.lzh", "lzh/lh0_h0.lzh", nullptr, rkarc::kErrChecksum},
      {"damaged/lzh_h0_hdrsum.lzh", "lzh/lh5_h0.lzh", nullptr, rkarc::kErrChecksum},
      {"damaged/lzh_h2_hdrcrc.lzh", "lzh/lh5_h2.lzh", "text.txt", rkarc::kErrChecksum},
  };
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(c.file);
    Extraction x;
    const int32_t rc = x.run(Sample(c.file));
    EXPECT_TRUE(rkarc::IsFailure(rc)) << rc;
    if (c.code != 0) {
      EXPECT_EQ(rc, c.code) << x.report();
    }
    QStringList wrongs;
    int whole = 0;
    for (const QString& entry : x.tree()) {
      if (entry.endsWith('/')) continue;
      bool matches = false;
      for (const auto& row : ManifestRowsOf(c.origin))
        matches |= row.member == entry &&
                   row.sha256 == testing_support::Sha256Hex(testing_support::ReadFile(x.out() + "/" + entry));
      if (!matches) wrongs << entry;
      whole += matches;
    }
    EXPECT_TRUE(wrongs.isEmpty()) << wrongs.join(", ").toStdString();
    EXPECT_GT(whole, 0) << "members beside the damage are still extracted";
    if (c.lost) {
      EXPECT_FALSE(QFileInfo::exists(x.out() + "/" + c.lost));
    }
  }
  Extraction empty;
  EXPECT_EQ(empty.run(Sample("damaged/empty.lzh")), rkarc::kErrNotArchive);
}

class HostileSample : public testing::TestWithParam<std::string> {};

TEST_P(HostileSample, WritesNothingOutsideTheOutputFolder) {
  const QStringList escapes = {"/tmp/evil_abs.txt", "/tmp/absolute_path.txt", "/tmp/evil_dir.txt"};
  QStringList before;
  for (const QString& e : escapes)
    if (QFileInfo::exists(e)) before << e;
  Extraction x;
  x.run(Sample(QString::fromStdString(GetParam())));
  EXPECT_TRUE(x.outside().isEmpty()) << x.outside().join(", ").toStdString();
  for (const QString& e : escapes) {
    if (!before.contains(e)) {
      EXPECT_FALSE(QFileInfo::exists(e)) << e.toStdString();
    }
  }
  for (const auto& row : ManifestRowsOf(QString::fromStdString(GetParam()))) {
    if (row.member == "ok.txt") {
      EXPECT_EQ(testing_support::Sha256Hex(testing_support::ReadFile(x.out() + "/ok.txt")), row.sha256);
    }
  }
}

std::vector<std::string> HostileLzh() {
  std::vector<std::string> out;
  for (const QString& f : ManifestFiles("hostile/"))
    if (f.endsWith(".lzh")) out.push_back(f.toStdString());
  return out;
}

INSTANTIATE_TEST_SUITE_P(Manifest, HostileSample, testing::ValuesIn(HostileLzh()), RowName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HostileSample);

}  // namespace
