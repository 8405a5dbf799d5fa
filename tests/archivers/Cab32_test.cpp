// CAB32.DLL as the program uses it: the built module loaded by file name,
// commands in the form the program sends, samples compared with MANIFEST.tsv,
// cabinets made at test time with gcab, hostile names, a full disk, and the
// probe that decides whether an .EXE is a cabinet.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <map>
#include <vector>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "tests/archivers/CabBuilder.h"
#include "tests/support/MountNamespace.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::CabBuilder;
using testing_support::TempFolder;

const testing_support::TestModule& Module() {
  static const testing_support::TestModule module("CAB32.DLL", "Cab");
  return module;
}

struct Outcome {
  int32_t rc = -1;
  std::string report;
};

// The standard command: OPT "ARC" "OUT/" and optional member names.
Outcome Extract(const std::string& options, const QString& archive, const QString& out,
            const QStringList& members = {}) {
  std::string command = options + " \"" + archive.toStdString() + "\" \"" + out.toStdString() + "/\"";
  for (const QString& member : members) command += " \"" + member.toStdString() + "\"";
  Outcome run;
  run.rc = Module().command(command, &run.report);
  return run;
}

QByteArray RandomBytes(qsizetype size, quint32 seed) {
  QRandomGenerator generator(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
  return bytes;
}

class Cab32 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Module().loaded()) << Module().error(); }
};

TEST_F(Cab32, EntryPoints) {
  EXPECT_EQ(Module().version(), 100);
  EXPECT_EQ(Module().running(), 0);
  EXPECT_NE(Module().symbol("CabSetProgress"), nullptr);
}

class Cab32Samples : public testing::TestWithParam<QString> {};

TEST_P(Cab32Samples, DefaultOptionsExtractTheManifestContent) {
  ASSERT_TRUE(Module().loaded()) << Module().error();
  TempFolder tmp;
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x -n", testing_support::Sample(GetParam()), out);
  EXPECT_EQ(run.rc, 0) << run.report;
  EXPECT_EQ(testing_support::CompareWithManifest(out, GetParam()).toStdString(), "");
}

QStringList CabSamples() {
  QStringList samples = testing_support::ManifestFiles("cab/");
  for (const QString& file : testing_support::ManifestFiles("sfx/cab_")) samples << file;
  return samples.isEmpty() ? QStringList{"(no samples)"} : samples;
}

INSTANTIATE_TEST_SUITE_P(Manifest, Cab32Samples, testing::ValuesIn(CabSamples()),
                         [](const testing::TestParamInfo<QString>& info) {
                           QString name = info.param;
                           return name.replace(QRegularExpression("[^A-Za-z0-9]"), "_").toStdString();
                         });

// Damaged cabinets fail; what they leave behind is only whole members, each
// byte for byte as in the undamaged cabinet, and no temporary files.
TEST_F(Cab32, DamagedSamplesFailAndLeaveOnlyWholeMembers) {
  QMap<QString, QString> good;
  for (const auto& row : testing_support::ManifestRowsOf("cab/mszip.cab")) good[row.member] = row.sha256;
  for (const QString& sample : testing_support::ManifestFiles("damaged/cab_")) {
    SCOPED_TRACE(sample.toStdString());
    TempFolder tmp;
    const QString out = tmp.mkdir("out");
    const Outcome run = Extract("-x -n", testing_support::Sample(sample), out);
    EXPECT_TRUE(rkarc::IsFailure(run.rc)) << run.rc;
    EXPECT_FALSE(run.report.empty());
    for (const QString& entry : testing_support::Tree(out)) {
      ASSERT_TRUE(good.contains(entry)) << "unexpected " << entry.toStdString();
      if (!entry.endsWith('/')) {
        EXPECT_EQ(testing_support::Sha256Hex(testing_support::ReadFile(out + "/" + entry)), good[entry]);
      }
    }
  }
}

TEST_F(Cab32, ProbeClaimsOnlyCompleteCabinets) {
  const struct {
    const char* sample;
    int32_t expected;
  } rows[] = {
      {"cab/mszip.cab", 1},           {"cab/libarchive_cab_3.cab", 1}, {"sfx/cab_sfx_small.exe", 1},
      {"sfx/cab_sfx_600k.exe", 1},    {"sfx/stub_only.exe", 0},        {"sfx/zip_sfx_raw.exe", 0},
      {"sfx/zip_sfx_adj.exe", 0},     {"sfx/rar4_sfx_winrar.exe", 0},  {"sfx/rar5_sfx_winrar.exe", 0},
      {"lzh/sfx_mz.exe", 0},          {"lzh/sfx_pe.exe", 0},           {"arj/sfx_elf.exe", 0},
      {"damaged/cab_mszip_trunc.cab", 0}, {"damaged/text_named.zip", 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Module().checkArchive(testing_support::Sample(row.sample).toStdString()), row.expected) << row.sample;
  EXPECT_EQ(Module().checkArchive((testing_support::DataDir() + "/missing.cab").toStdString()), 0);
}

// Cabinets as a maker on Linux writes them: stored and MSZIP, UTF-8 names in
// folders, a member of a few MB that spans many data blocks, an empty one.
class Cab32Gcab : public testing::TestWithParam<bool> {};

TEST_P(Cab32Gcab, MadeByGcabExtractsByteForByte) {
  RK_REQUIRE_PROGRAM("gcab");
  ASSERT_TRUE(Module().loaded()) << Module().error();
  TempFolder tmp;
  const QMap<QString, QByteArray> files = {
      {"readme.txt", "plain text\r\n"},
      {"big.bin", RandomBytes(3 * 1024 * 1024 + 123, 7)},
      {"empty.dat", {}},
      {"docs/日本語/説明.txt", QString("日本語の説明").toUtf8()},
      {"a/b/c/deep.txt", RandomBytes(40000, 8).toHex()},
  };
  for (auto it = files.begin(); it != files.end(); ++it) tmp.write("src/" + it.key(), it.value());
  QStringList arguments = {"-c"};
  if (GetParam()) arguments << "-z";
  arguments << tmp.file("made.cab") << files.keys();
  QByteArray output;
  ASSERT_EQ(testing_support::Run("gcab", arguments, tmp.file("src"), &output), 0) << output.constData();

  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x -n", tmp.file("made.cab"), out);
  EXPECT_EQ(run.rc, 0) << run.report;
  for (auto it = files.begin(); it != files.end(); ++it)
    EXPECT_EQ(testing_support::ReadFile(out + "/" + it.key()), it.value()) << it.key().toStdString();
  EXPECT_EQ(testing_support::Tree(out).filter(QRegularExpression("[^/]$")).size(), files.size());
}

INSTANTIATE_TEST_SUITE_P(Compression, Cab32Gcab, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "Mszip" : "Stored");
                         });

// A damaged data block fails the members whose data it holds, not the one
// before it whose blocks all verified (reading ahead into the bad block once
// failed that one too).
TEST_F(Cab32, ADamagedBlockFailsOnlyTheMembersItHolds) {
  RK_REQUIRE_PROGRAM("gcab");
  TempFolder tmp;
  const QByteArray first = RandomBytes(100000, 3), second = RandomBytes(100000, 4);
  tmp.write("src/first.bin", first);
  tmp.write("src/second.bin", second);
  QByteArray output;
  ASSERT_EQ(testing_support::Run("gcab", {"-c", "-z", tmp.file("made.cab"), "first.bin", "second.bin"},
                                 tmp.file("src"), &output),
            0)
      << output.constData();
  QByteArray cab = testing_support::ReadFile(tmp.file("made.cab"));
  // first.bin ends in the fourth 32 KB block; the fifth holds second.bin only.
  const auto le = [&](qsizetype at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(cab[at + i]);
    return static_cast<qsizetype>(v);
  };
  qsizetype block = le(36, 4);  // the first CFDATA of the only folder
  for (int i = 0; i < 4; ++i) block += 8 + le(block + 4, 2);
  cab[block + 8 + 100] = static_cast<char>(cab[block + 8 + 100] ^ 0x55);
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x", tmp.write("bad.cab", cab), out);
  EXPECT_EQ(run.rc, rkarc::kErrChecksum) << run.report;
  EXPECT_EQ(testing_support::ReadFile(out + "/first.bin"), first);
  EXPECT_FALSE(QFile::exists(out + "/second.bin"));
}

// MSZIP blocks may copy from the block before (makecab's do, gcab's never):
// each block is decoded with the previous block's output as its history.
TEST_F(Cab32, MszipBlocksCopyFromTheBlockBefore) {
  TempFolder tmp;
  const std::string chunk = RandomBytes(5000, 5).toStdString();
  std::string repeated;
  while (repeated.size() < 100000) repeated += chunk;  // four blocks, each beginning with a copy
  testing_support::CabBuildOptions options;
  options.mszip = true;
  CabBuilder builder(options);
  builder.add({"repeated.bin", repeated});
  builder.add({"tail.txt", "after the copies"});
  const std::string cab = builder.build();
  ASSERT_LT(cab.size(), 8000u);  // only the history makes the later blocks this small
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x", tmp.write("copies.cab", QByteArray::fromStdString(cab)), out);
  EXPECT_EQ(run.rc, 0) << run.report;
  EXPECT_EQ(testing_support::ReadFile(out + "/repeated.bin").toStdString(), repeated);
  EXPECT_EQ(testing_support::ReadFile(out + "/tail.txt"), "after the copies");
}

TEST_F(Cab32, OptionsChooseFoldersAndMembers) {
  const QString cab = testing_support::Sample("cab/libarchive_cab_filename_cp932.cab");
  const struct {
    const char* why;
    const char* options;
    QStringList members;
    QStringList tree;
    int32_t rc;
  } rows[] = {
      {"command word and letters combined", "x -no", {}, {"表だよ/", "表だよ/一覧表.txt", "表だよ/漢字.txt"}, 0},
      {"one member by its path", "-x", {"表だよ\\漢字.txt"}, {"表だよ/", "表だよ/漢字.txt"}, 0},
      {"one member by its name without folders", "-e", {"一覧表.txt"}, {"一覧表.txt"}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    TempFolder tmp;
    const QString out = tmp.mkdir("out");
    const Outcome run = Extract(row.options, cab, out, row.members);
    EXPECT_EQ(run.rc, row.rc) << run.report;
    EXPECT_EQ(testing_support::Tree(out), row.tree);
  }
}

TEST_F(Cab32, AFileWithoutACabinetIsNotAnArchive) {
  TempFolder tmp;
  const QString out = tmp.mkdir("out");
  const QString text = tmp.write("notes.cab", "just some text, not a cabinet at all");
  EXPECT_EQ(Extract("-x -n", text, out).rc, rkarc::kErrNotArchive);
  EXPECT_TRUE(testing_support::Tree(out).isEmpty());
}

// Names that try to leave the output folder: nothing may appear beside it.
TEST_F(Cab32, HostileNamesStayInsideTheOutputFolder) {
  TempFolder tmp;
  tmp.write("sentinel.txt", "untouched");
  const QString out = tmp.mkdir("out");
  CabBuilder builder;
  for (const char* name : {"..\\..\\escape1.txt", "../escape2.txt", "\\abs\\escape3.txt", "/escape4.txt",
                           "C:\\escape5.txt", "sub\\..\\..\\escape6.txt", "ok.txt"})
    builder.add({name, std::string("payload of ") + name});
  const QString cab = tmp.write("hostile.cab", QByteArray::fromStdString(builder.build()));
  const Outcome run = Extract("-x -n", cab, out);
  EXPECT_EQ(run.rc, rkarc::kErrUnsafeName) << run.report;
  EXPECT_EQ(testing_support::ReadFile(tmp.file("sentinel.txt")), "untouched");
  for (const QString& entry : testing_support::Tree(tmp.path()))
    EXPECT_TRUE(entry == "sentinel.txt" || entry == "hostile.cab" || entry.startsWith("out/") || entry == "out/")
        << "outside the output folder: " << entry.toStdString();
  EXPECT_TRUE(QFileInfo::exists(out + "/ok.txt"));
}

TEST_F(Cab32, MembersContinuedInAMissingCabinetFailAsMultiVolume) {
  TempFolder tmp;
  testing_support::CabBuildOptions options;
  options.nextCabinet = "SET2.CAB";
  CabBuilder builder(options);
  builder.add({"first.txt", "complete in the first cabinet"});
  builder.add({"split.bin", std::string(1000, 's'), 0x20, 0xFFFE, 50000});
  const QString cab = tmp.write("SET1.CAB", QByteArray::fromStdString(builder.build()));
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x -n", cab, out);
  EXPECT_EQ(run.rc, rkarc::kErrMultiVolume) << run.report;
  EXPECT_NE(run.report.find("SET2.CAB"), std::string::npos) << run.report;
  EXPECT_EQ(testing_support::Tree(out), QStringList{"first.txt"});
}

// A set read from its first cabinet as one archive: folders go on across
// cabinets (their border cutting a data block), the next cabinet is found in
// another letter case, and the host learns the later cabinets as volumes.
TEST_F(Cab32, CabinetSetsReadAsOneAndNameAMissingCabinet) {
  const char* const kWhole = "volumes\t3\nvolume\tdisk2.cab\nvolume\tdisk3.cab\n";
  const struct {
    const char* why;
    bool mszip;
    int first, present;  // the cabinet handed to the module, how many are there
    int32_t rc;
    const char* inReport;
    int written;
  } rows[] = {
      {"stored", false, 1, 3, 0, kWhole, 6},
      {"MSZIP", true, 1, 3, 0, kWhole, 6},
      {"last cabinet missing", false, 1, 2, rkarc::kErrMultiVolume, "reason\te.bin: 次の CAB がありません: DISK3.CAB", 4},
      // Its folder began in disk1.cab, and what was read lacks disk1.cab.
      {"from the second cabinet", false, 2, 3, rkarc::kErrMultiVolume, "keep\tCAB の組の途中の CAB から読みました\n", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    TempFolder tmp;
    testing_support::CabBuildOptions options;
    options.mszip = row.mszip;
    CabBuilder builder(options);
    std::map<QString, QByteArray> members;
    for (const auto& [name, size] : {std::pair{"a.bin", 50000}, {"b.txt", 900}, {"c.bin", 70000},
                                     {"d.txt", 10}, {"e.bin", 60000}, {"f.txt", 300}})
      builder.add({name, (members[name] = RandomBytes(size, static_cast<quint32>(size))).toStdString()});
    const std::vector<std::string> set = builder.buildSet({"DISK1.CAB", "DISK2.CAB", "DISK3.CAB"});
    for (int i = 0; i < row.present; ++i) tmp.write(QString("disk%1.cab").arg(i + 1), QByteArray::fromStdString(set[i]));
    const QString out = tmp.mkdir("out");
    const Outcome run = Extract("-x -n", tmp.file(QString("disk%1.cab").arg(row.first)), out);
    EXPECT_EQ(run.rc, row.rc) << run.report;
    EXPECT_NE(run.report.find(row.inReport), std::string::npos) << run.report;
    EXPECT_EQ(testing_support::Tree(out).size(), row.written);
    for (const QString& file : testing_support::Tree(out))
      EXPECT_EQ(testing_support::ReadFile(out + "/" + file), members[file]) << file.toStdString();
  }
}

TEST_F(Cab32, UnknownCompressionIsUnsupportedAndWritesNothing) {
  TempFolder tmp;
  CabBuilder builder;
  builder.add({"packed.bin", "not really packed"});
  std::string cab = builder.build();
  cab[42] = 0x07;  // the folder's compression type: no method 7 exists
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x -n", tmp.write("odd.cab", QByteArray::fromStdString(cab)), out);
  EXPECT_EQ(run.rc, rkarc::kErrUnsupported) << run.report;
  EXPECT_NE(run.report.find("packed.bin"), std::string::npos) << run.report;
  EXPECT_TRUE(testing_support::Tree(out).isEmpty());
}

// Many members pointing into the same data would make the decoder start its
// folder again for each; the run ends with the excess members failed.
TEST_F(Cab32, OverlappingMembersCannotKeepTheDecoderBusy) {
  TempFolder tmp;
  CabBuilder builder;
  builder.add({"whole.bin", std::string(1 << 20, 'w')});
  for (int i = 0; i < 2000; ++i)
    builder.add({"copy" + std::to_string(i) + ".bin", "", 0x20, 0, 1});  // declared 1 byte at 1 MiB
  std::string cab = builder.build();
  // Every copy claims the last byte of whole.bin: offset 1 MiB - 1.
  const uint32_t offset = (1 << 20) - 1;
  for (size_t at = cab.find("copy"); at != std::string::npos; at = cab.find("copy", at + 1)) {
    const size_t record = at - 16;
    for (int b = 0; b < 4; ++b) cab[record + 4 + b] = static_cast<char>((offset >> (8 * b)) & 0xFF);
  }
  const QString path = tmp.write("overlap.cab", QByteArray::fromStdString(cab));
  const QString out = tmp.mkdir("out");
  const Outcome run = Extract("-x -n", path, out);
  EXPECT_EQ(run.rc, rkarc::kErrDamaged);
  EXPECT_TRUE(QFileInfo::exists(out + "/whole.bin"));
  EXPECT_LT(testing_support::Tree(out).size(), 1000);
}

TEST_F(Cab32, ProgressReachesTheArchiveSizeWhileTheModuleRuns) {
  struct Seen {
    uint64_t last = 0, total = 0;
    int calls = 0;
    bool backwards = false;
    int32_t runningDuringCommand = 0;
  } seen;
  const auto setProgress = reinterpret_cast<void (*)(RkProgressFn, void*)>(Module().symbol("CabSetProgress"));
  ASSERT_NE(setProgress, nullptr);
  setProgress(
      [](void* context, uint64_t done, uint64_t total) {
        auto* s = static_cast<Seen*>(context);
        s->backwards = s->backwards || done > total;
        s->runningDuringCommand = Module().running();
        s->last = done, s->total = total, ++s->calls;
      },
      &seen);
  TempFolder tmp;
  const QString cab = testing_support::Sample("sfx/cab_sfx_600k.exe");
  EXPECT_EQ(Extract("-x -n", cab, tmp.mkdir("out")).rc, 0);
  setProgress(nullptr, nullptr);
  EXPECT_GT(seen.calls, 0);
  EXPECT_FALSE(seen.backwards);
  EXPECT_EQ(seen.total, static_cast<uint64_t>(QFileInfo(cab).size()));
  EXPECT_EQ(seen.last, seen.total);
  EXPECT_EQ(seen.runningDuringCommand, 1);
  EXPECT_EQ(Module().running(), 0);
}

TEST_F(Cab32, FullDiskStopsWithDiskFullAndNoPartialFile) {
  if (!testing_support::InMountNamespace()) {
    TempFolder tmp;
    CabBuilder builder;
    builder.add({"small.txt", "fits"});
    builder.add({"large.bin", RandomBytes(3 * 1024 * 1024, 9).toStdString()});
    builder.add({"after.txt", "never reached"});
    const QString cab = tmp.write("full.cab", QByteArray::fromStdString(builder.build()));
    const QString out = tmp.mkdir("out");
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=1m tmpfs " + out,
                                             {"RUKASU2_TEST_CAB=" + cab, "RUKASU2_TEST_OUT=" + out});
    return;
  }
  const QString cab = qEnvironmentVariable("RUKASU2_TEST_CAB"), out = qEnvironmentVariable("RUKASU2_TEST_OUT");
  const Outcome run = Extract("-x -n", cab, out);
  EXPECT_EQ(run.rc, rkarc::kErrDiskFull);
  EXPECT_EQ(testing_support::Tree(out), QStringList({"small.txt"}));
}

}  // namespace
