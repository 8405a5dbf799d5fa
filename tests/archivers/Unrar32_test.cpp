// UNRAR32.DLL loaded by file name: every RAR sample and RAR SFX against the
// manifest in both locales, encrypted members and headers, damage,
// SFX made here with small and large stubs, and a RAR 4 archive with CP932
// names whose 0x5C trail bytes libarchive alone would split.
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"
#include "tests/archivers/RarBuilder.h"
#include "tests/support/Manifest.h"

namespace {

using testing_support::ModuleBench;
using testing_support::Sample;
using testing_support::TempFolder;

const testing_support::TestModule& Unrar() {
  static const testing_support::TestModule module("UNRAR32.DLL", "Unrar");
  return module;
}

class Unrar32 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Unrar().loaded()) << Unrar().error(); }
};

QStringList RarSamples() {
  QStringList files = testing_support::ManifestFiles("rar/");
  for (const QString& f : testing_support::ManifestFiles("sfx/rar")) files << f;
  return files;
}

TEST_F(Unrar32, EveryGoodSampleMatchesTheManifestInEitherLocale) {
  testing_support::ForEachLocale([](const char*) {
    for (const QString& file : RarSamples()) {
      const auto rows = testing_support::ManifestRowsOf(file);
      if (rows.front().expect != "ok") continue;
      SCOPED_TRACE(file.toStdString());
      ModuleBench bench(Unrar());
      const int32_t rc = bench.extract("-x -u", Sample(file));
      EXPECT_EQ(Unrar().checkArchive(Sample(file).toStdString()), 1);
      EXPECT_EQ(rc, 0) << bench.report();
      EXPECT_EQ(testing_support::CompareWithManifest(bench.out(), file), "");
    }
  });
}

// A member asked for alone: in a solid archive the ones before it are
// decoded all the same; a file copy is read from the member it names.
TEST_F(Unrar32, AMemberAskedForAloneNeedsNoOtherWritten) {
  for (const auto& [file, member] : {std::pair{"rar/rarfile/rar3-solid.rar", "stest2.txt"},
                                     std::pair{"rar/rarfile/rar5-dups.rar", "stest5.txt"}}) {
    SCOPED_TRACE(file);
    ModuleBench bench(Unrar());
    EXPECT_EQ(bench.extract("-x", Sample(file), {member}), 0) << bench.report();
    EXPECT_EQ(testing_support::Tree(bench.out()), QStringList{member});
    const QByteArray written = testing_support::Sha256Hex(testing_support::ReadFile(bench.out() + "/" + member));
    for (const auto& row : testing_support::ManifestRowsOf(file)) {
      if (row.member == member) {
        EXPECT_EQ(written, row.sha256.toLatin1());
      }
    }
  }
}

TEST_F(Unrar32, EncryptedMembersAreRefusedAndPlainOnesExtracted) {
  const struct {
    const char* file;
    QStringList tree;
  } rows[] = {{"rar/rar4_encrypted.rar", {"a.txt", "c.txt"}},
              {"rar/rar5_encrypted.rar", {"a.txt", "c.txt"}},
              {"rar/rar4_solid_encrypted.rar", {}},
              {"rar/rarfile/rar5-hpsw.rar", {}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    ModuleBench bench(Unrar());
    EXPECT_EQ(bench.extract("-x -u", Sample(row.file)), rkarc::kErrEncrypted) << bench.report();
    EXPECT_EQ(testing_support::Tree(bench.out()), row.tree);
    for (const QString& name : row.tree)
      EXPECT_EQ(testing_support::ReadFile(bench.out() + "/" + name), "This is from " + name.toUtf8());
  }
}

TEST_F(Unrar32, DamagedArchivesFailWithoutHalfWrittenFiles) {
  const QStringList files = testing_support::ManifestFiles("damaged/rar");
  ASSERT_EQ(files.size(), 4);
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    ModuleBench bench(Unrar());
    EXPECT_TRUE(rkarc::IsFailure(bench.extract("-x -u", Sample(file)))) << bench.report();
    EXPECT_EQ(testing_support::HalfWrittenFiles(bench.out()), "");
  }
}

TEST_F(Unrar32, SelfExtractingFilesWithSmallAndLargeStubs) {
  TempFolder tmp;
  for (const char* file : {"rar/rar.rar", "rar/rar5_multiple_files.rar"}) {
    for (int stubSize : {7, 300 * 1024 + 3}) {
      SCOPED_TRACE(std::string(file) + " " + std::to_string(stubSize));
      const QString sfx =
          tmp.write("sfx.exe", testing_support::ExecutableStub(stubSize) + testing_support::ReadFile(Sample(file)));
      EXPECT_EQ(Unrar().checkArchive(sfx.toStdString()), 1);
      ModuleBench bench(Unrar());
      EXPECT_EQ(bench.extract("-x -u", sfx), 0) << bench.report();
      EXPECT_EQ(testing_support::CompareWithManifest(bench.out(), file), "");
    }
  }
}

TEST_F(Unrar32, ChecksOnlyFilesItCanExtract) {
  for (const char* file : {"sfx/stub_only.exe", "sfx/zip_sfx_raw.exe", "sfx/cab_sfx_small.exe", "tar/t.tar",
                           "damaged/text_named.zip", "damaged/empty.lzh"}) {
    EXPECT_EQ(Unrar().checkArchive(Sample(file).toStdString()), 0) << file;
  }
  ModuleBench bench(Unrar());
  EXPECT_EQ(bench.extract("-x -u", Sample("sfx/zip_sfx_raw.exe")), rkarc::kErrNotArchive);
  EXPECT_EQ(Unrar().version(), 100);
}

// A RAR 4 archive of stored files, written the way RAR on Windows names
// them: CP932 bytes with '\' between folders.
QByteArray StoredRar4(const std::vector<std::pair<QByteArray, QByteArray>>& files) {
  std::vector<testing_support::RarMember> members;
  for (const auto& [name, data] : files) members.push_back(testing_support::StoredRarMember(name, data));
  return testing_support::Rar4Volumes(members, 1 << 30).front();
}

TEST_F(Unrar32, Rar4Cp932NamesKeepTheirBackslashTrailBytes) {
  TempFolder tmp;
  const QString rar = tmp.write(
      "jp.rar", StoredRar4({{QByteArray("\x95\x5C\\\x94\x5C\x83\x5C.txt", 11), "cp932"}, {"plain.txt", "ascii"}}));
  testing_support::ForEachLocale([&](const char*) {
    ModuleBench bench(Unrar());
    EXPECT_EQ(bench.extract("-x -u", rar), 0) << bench.report();
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/表/能ソ.txt"), "cp932");
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/plain.txt"), "ascii");
  });
}

}  // namespace

namespace {

using testing_support::RarMember;
using testing_support::StoredRarMember;

QByteArray Noise(int size) {
  QByteArray out(size, '\0');
  uint32_t seed = 5;
  for (char& c : out) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
  return out;
}

// A volume set and what it holds: member name -> sha256 of its content.
struct VolumeSet {
  QList<QByteArray> volumes;
  std::map<QString, QByteArray> members;
};

VolumeSet SampleSet() {  // RAR 4, stored, made by RAR: six volumes
  VolumeSet set;
  for (int n = 1; n <= 6; ++n)
    set.volumes << testing_support::ReadFile(
        Sample(QString("rar/volumes/test_rar_multivolume_multiple_files.part%1.rar").arg(n)));
  for (const auto& row : testing_support::ManifestRowsOf("rar/volumes/test_rar_multivolume_multiple_files.part1.rar"))
    set.members[row.member] = row.sha256.toLatin1();
  return set;
}

// Built sets: `first` spans several volumes, a stored member follows.
VolumeSet BuiltSet(int format, const RarMember& first, const QString& firstName, const QString& sample, int perVolume) {
  const QByteArray tail = "後ろのファイル";
  const std::vector<RarMember> members{first, StoredRarMember("tail.txt", tail)};
  VolumeSet set{format == 4 ? testing_support::Rar4Volumes(members, perVolume)
                            : testing_support::Rar5Volumes(members, perVolume),
                {{"tail.txt", testing_support::Sha256Hex(tail)}}};
  for (const auto& row : testing_support::ManifestRowsOf(sample))
    if (row.member == firstName) set.members[firstName] = row.sha256.toLatin1();
  if (sample.isEmpty()) set.members[firstName] = testing_support::Sha256Hex(Noise(static_cast<int>(first.size)));
  return set;
}

VolumeSet Rar4Compressed() {  // a compressed member of a sample, re-split into volumes
  const QString sample = "rar/rar_compress_normal.rar";
  return BuiltSet(4, testing_support::FirstRar4Member(testing_support::ReadFile(Sample(sample))),
                  "LibarchiveAddingTest.html", sample, 2500);
}

VolumeSet Rar5Stored() { return BuiltSet(5, StoredRarMember("noise.bin", Noise(9000)), "noise.bin", {}, 4000); }

// A folder record whose name is junk, then a member whose data is damaged:
// the archive fails, and the folder stays as any other folder member would.
VolumeSet Rar5JunkFolderThenDamage() {
  RarMember folder = StoredRarMember("\xFF\xFE\x01junk", {});
  folder.directory = true;
  RarMember damaged = StoredRarMember("data.bin", Noise(300));
  damaged.crc ^= 1;
  return {testing_support::Rar5Volumes({folder, damaged}, 1 << 20), {}};
}

// One byte changed inside the data of a member that spans volumes 1 to 3.
VolumeSet Flipped(VolumeSet set) {
  QByteArray& second = set.volumes[1];
  second[second.size() - 200] = static_cast<char>(second[second.size() - 200] ^ 0x20);
  return set;
}
VolumeSet Rar4StoredFlipped() { return Flipped(BuiltSet(4, StoredRarMember("noise.bin", Noise(9000)), "noise.bin", {}, 4000)); }
VolumeSet Rar5StoredFlipped() { return Flipped(Rar5Stored()); }

VolumeSet Rar5Compressed() {
  const QString sample = "rar/rar5_compressed.rar";
  return BuiltSet(5, testing_support::FirstRar5Member(testing_support::ReadFile(Sample(sample))), "test.bin", sample,
                  100);
}

QString PartName(int number, int digits) { return QString("set.part%1.rar").arg(number, digits, 10, QChar('0')); }
// name.rar, name.r00 ... name.r99, name.s00 ...
QString OldName(int number) {
  if (number == 1) return "set.rar";
  return QString("set.%1%2").arg(QChar('r' + (number - 2) / 100)).arg((number - 2) % 100, 2, 10, QChar('0'));
}

struct VolumeRow {
  const char* label;
  VolumeSet (*make)();
  QString (*name)(int number);
  int handed;   // the volume handed to the module
  int removed;  // a volume deleted before the run, or 0
  int32_t rc;
  const char* reason;  // the report's reason line; empty on success
  QStringList kept{};  // what a failed run still wrote
};

// Volume sets in every naming, RAR 4 and RAR 5, stored and compressed: the
// set extracts from its first volume when every volume is there; otherwise
// nothing is written and the reason names the file. A failure writes no file.
TEST_F(Unrar32, VolumeSetsExtractFromTheirFirstVolumeWhenEveryVolumeIsThere) {
  const auto part1 = [](int n) { return PartName(n, 1); };
  const auto part01 = [](int n) { return PartName(n, 2); };
  const auto part0001 = [](int n) { return PartName(n, 4); };
  const VolumeRow rows[] = {
      {"Rar4StoredPart1", SampleSet, part1, 1, 0, 0, ""},
      {"Rar4StoredPart01", SampleSet, part01, 1, 0, 0, ""},
      {"Rar4StoredOldNames", SampleSet, OldName, 1, 0, 0, ""},
      {"Rar4CompressedPart0001", Rar4Compressed, part0001, 1, 0, 0, ""},
      {"Rar5StoredPart01", Rar5Stored, part01, 1, 0, 0, ""},
      {"Rar5CompressedOldNames", Rar5Compressed, OldName, 1, 0, 0, ""},
      {"MissingVolume", Rar5Stored, part1, 1, 2, rkarc::kErrMultiVolume, "分割書庫の巻がありません: set.part2.rar"},
      {"MissingOldVolume", SampleSet, OldName, 1, 4, rkarc::kErrMultiVolume, "分割書庫の巻がありません: set.r02"},
      {"LaterVolumeAlone", SampleSet, part01, 3, 0, rkarc::kErrMultiVolume,
       "分割書庫の途中の巻です。最初の巻 set.part01.rar から解凍してください"},
      {"LaterRar5VolumeAlone", Rar5Stored, part1, 2, 0, rkarc::kErrMultiVolume,
       "分割書庫の途中の巻です。最初の巻 set.part1.rar から解凍してください"},
      {"Rar5JunkFolderThenDamage", Rar5JunkFolderThenDamage, OldName, 1, 0, rkarc::kErrChecksum,
       "data.bin: CRCが一致しません"},
      {"Rar4SpanningMemberChanged", Rar4StoredFlipped, part01, 1, 0, rkarc::kErrChecksum, "noise.bin: CRCが一致しません",
       {"tail.txt"}},
      {"Rar5SpanningMemberChanged", Rar5StoredFlipped, OldName, 1, 0, rkarc::kErrChecksum, "noise.bin: CRCが一致しません",
       {"tail.txt"}},
  };
  for (const VolumeRow& row : rows) {
    SCOPED_TRACE(row.label);
    ModuleBench bench(Unrar());
    const VolumeSet set = row.make();
    for (int n = 1; n <= set.volumes.size(); ++n)
      if (n != row.removed) bench.tmp().write(row.name(n), set.volumes[n - 1]);
    EXPECT_EQ(bench.extract("-x -u", bench.tmp().file(row.name(row.handed))), row.rc) << bench.report();
    if (row.rc != 0) {
      EXPECT_EQ(QString::fromStdString(bench.report()).section('\n', 0, 0), QString("reason\t") + row.reason);
      EXPECT_EQ(testing_support::Tree(bench.out()).filter(QRegularExpression("[^/]$")), row.kept);
      continue;
    }
    ASSERT_GT(set.volumes.size(), 2);
    EXPECT_EQ(QString::fromStdString(bench.report()).section('\n', 0, 1),
              QString("volumes\t%1\nvolume\t%2").arg(set.volumes.size()).arg(row.name(2)));
    QStringList names;
    for (const auto& [name, sha] : set.members) {
      names << name;
      EXPECT_EQ(testing_support::Sha256Hex(testing_support::ReadFile(bench.out() + "/" + name)), sha) << name.toStdString();
    }
    EXPECT_EQ(testing_support::Tree(bench.out()), names);
  }
}


QByteArray Record(int type, const QByteArray& body) {  // one record of a RAR 5 extra area
  const QByteArray typed = QByteArray(1, static_cast<char>(type)) + body;
  return QByteArray(1, static_cast<char>(typed.size())) + typed;
}
RarMember Stored(const QByteArray& name, const QByteArray& data, uint16_t flags4, uint32_t attributes,
                 const QByteArray& extra = {}) {
  RarMember m = StoredRarMember(name, data);
  m.flags = flags4;
  m.attributes = attributes;
  m.extra = extra;
  return m;
}
// Older versions kept by RAR's version control: RAR 4 flags them and names them name;N,
// RAR 5 gives them a version record.
QByteArray Rar4Versions() {
  return testing_support::Rar4Volumes(
      {Stored("a.txt;2", "old", 0x0800, 0x20), Stored("a.txt;1", "older", 0x0800, 0x20), Stored("a.txt", "new", 0, 0x20)},
      1 << 30)[0];
}
QByteArray Rar5Versions() {
  return testing_support::Rar5Volumes(
      {Stored("a.txt", "old", 0, 0x20, Record(4, QByteArray("\x00\x01", 2))), Stored("a.txt", "new", 0, 0x20)}, 1 << 30)[0];
}
// A read-only file, and no end block (RAR's -en).
QByteArray Rar4ReadOnlyWithoutEnd() {
  return testing_support::Rar4Volumes({Stored("ro.txt", "ro", 0, 0x21), Stored("rw.txt", "rw", 0, 0x20)}, 1 << 30)[0]
      .chopped(7);
}
QByteArray Rar5ReadOnlyWithoutEnd() {
  return testing_support::Rar5Volumes({Stored("ro.txt", "ro", 0, 0x21), Stored("rw.txt", "rw", 0, 0x20)}, 1 << 30)[0]
      .chopped(8);
}
// A folder made read-only on Unix, holding a file.
RarMember UnixFolder(int format) {
  RarMember folder = Stored("ro", {}, format == 4 ? 0xE0 : 0, 040555);
  folder.directory = format == 5;
  folder.onUnix = true;
  return folder;
}
QByteArray Rar4ReadOnlyFolder() { return testing_support::Rar4Volumes({UnixFolder(4), Stored("ro/in.txt", "in", 0, 0x20)}, 1 << 30)[0]; }
QByteArray Rar5ReadOnlyFolder() { return testing_support::Rar5Volumes({UnixFolder(5), Stored("ro/in.txt", "in", 0, 0x20)}, 1 << 30)[0]; }
// Records of types the reader does not know, in the main and a file header.
QByteArray Rar5UnknownRecords() {
  return testing_support::Rar5Volumes({Stored("rw.txt", "rw", 0, 0x20, Record(0x3F, "future"))}, 1 << 30,
                                      Record(0x3E, "later"))[0];
}

struct BuiltRow {
  const char* label;
  QByteArray (*make)();
  std::map<QString, QByteArray> files;  // what is written, and nothing else
  bool keep;                            // the report asks the host to keep the archive
  QString readOnly{};                   // what is written without write permission
};

// What RAR writes on request extracts as RAR extracts it: only the newest
// version (the archive is kept, as the older ones were left out), a read-only
// file without write permission, an archive without its end block, records
// the reader does not know skipped by their size.
TEST_F(Unrar32, ArchivesMadeWithRarOptionsExtractAsRarExtractsThem) {
  const BuiltRow rows[] = {
      {"Rar4Versions", Rar4Versions, {{"a.txt", "new"}}, true},
      {"Rar5Versions", Rar5Versions, {{"a.txt", "new"}}, true},
      {"Rar4ReadOnlyWithoutEnd", Rar4ReadOnlyWithoutEnd, {{"ro.txt", "ro"}, {"rw.txt", "rw"}}, false, "ro.txt"},
      {"Rar5ReadOnlyWithoutEnd", Rar5ReadOnlyWithoutEnd, {{"ro.txt", "ro"}, {"rw.txt", "rw"}}, false, "ro.txt"},
      {"Rar4ReadOnlyFolder", Rar4ReadOnlyFolder, {{"ro/", ""}, {"ro/in.txt", "in"}}, false, "ro/"},
      {"Rar5ReadOnlyFolder", Rar5ReadOnlyFolder, {{"ro/", ""}, {"ro/in.txt", "in"}}, false, "ro/"},
      {"Rar5UnknownRecords", Rar5UnknownRecords, {{"rw.txt", "rw"}}, false},
  };
  for (const BuiltRow& row : rows) {
    SCOPED_TRACE(row.label);
    ModuleBench bench(Unrar());
    EXPECT_EQ(bench.extract("-x -u", bench.tmp().write("a.rar", row.make())), 0) << bench.report();
    QStringList names;
    for (const auto& [name, data] : row.files) {
      names << name;
      if (!name.endsWith(QChar('/'))) {
        EXPECT_EQ(testing_support::ReadFile(bench.out() + "/" + name), data);
      }
      const bool writable = QFileInfo(bench.out() + "/" + name).permissions() & QFileDevice::WriteOwner;
      EXPECT_EQ(writable, name != row.readOnly) << name.toStdString();
    }
    EXPECT_EQ(testing_support::Tree(bench.out()), names);
    EXPECT_EQ(QString::fromStdString(bench.report()).startsWith("keep\t"), row.keep) << bench.report();
  }
}

}  // namespace
