// UNZIP32.DLL loaded by file name: every ZIP sample against the manifest
// under both locales, self-extracting files made here with stubs of a few
// bytes and of hundreds of kilobytes, CP932 names, damage, hostile names,
// encrypted members, a full disk and a read-only destination.
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include <optional>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"
#include "tests/support/FaultFolder.h"
#include "tests/support/Manifest.h"

namespace {

using testing_support::ModuleBench;
using testing_support::Sample;
using testing_support::TempFolder;

const testing_support::TestModule& Unzip() {
  static const testing_support::TestModule module("UNZIP32.DLL", "UnZip");
  return module;
}

class Unzip32 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Unzip().loaded()) << Unzip().error(); }
};

QStringList ZipSamples() {
  QStringList files = testing_support::ManifestFiles("zip/");
  for (const QString& f : testing_support::ManifestFiles("sfx/zip_")) files << f;
  return files;
}

TEST_F(Unzip32, EverySampleMatchesTheManifestInEitherLocale) {
  ASSERT_FALSE(ZipSamples().isEmpty());
  testing_support::ForEachLocale([](const char*) {
    for (const QString& file : ZipSamples()) {
      SCOPED_TRACE(file.toStdString());
      ModuleBench bench(Unzip());
      EXPECT_EQ(bench.extract("-x", Sample(file)), 0) << bench.report();
      EXPECT_EQ(testing_support::CompareWithManifest(bench.out(), file), "");
      EXPECT_EQ(Unzip().checkArchive(Sample(file).toStdString()), 1);
    }
  });
}

TEST_F(Unzip32, OuterPassOfADoubleArchiveTakesJustTheNamedMember) {
  for (const char* file : {"double/a.lzh.zip", "double/d.zip.zip"}) {
    SCOPED_TRACE(file);
    ModuleBench bench(Unzip());
    const QString inner = QString(file).section('/', 1).section('.', 0, 1);
    EXPECT_EQ(bench.extract("-x", Sample(file), {inner.toUpper()}), 0) << bench.report();
    EXPECT_EQ(testing_support::CompareWithManifest(bench.out(), file), "");
  }
  ModuleBench missing(Unzip());
  EXPECT_EQ(missing.extract("-x", Sample("double/a.lzh.zip"), {"other.lzh"}), rkarc::kErrNoMember);
  EXPECT_TRUE(testing_support::Tree(missing.out()).isEmpty());
}

TEST_F(Unzip32, DamagedArchivesFailWithoutHalfWrittenFiles) {
  const struct {
    const char* file;
    int32_t code;
  } rows[] = {{"damaged/zip_flip.zip", rkarc::kErrDamaged},
              {"damaged/zip_trunc.zip", rkarc::kErrDamaged},
              {"damaged/text_named.zip", rkarc::kErrNotArchive},
              {"sfx/stub_only.exe", rkarc::kErrNotArchive}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    ModuleBench bench(Unzip());
    EXPECT_EQ(bench.extract("-x", Sample(row.file)), row.code) << bench.report();
    EXPECT_EQ(testing_support::HalfWrittenFiles(bench.out()), "");
    EXPECT_FALSE(QFile::exists(bench.out() + "/text.txt"));
  }
}

TEST_F(Unzip32, HostileArchivesStayInsideTheOutputFolder) {
  for (const QString& file : testing_support::ManifestFiles("hostile/zip_")) {
    SCOPED_TRACE(file.toStdString());
    ModuleBench bench(Unzip());
    EXPECT_TRUE(rkarc::IsFailure(bench.extract("-x", Sample(file))) || file.contains("absolute") ||
                file.contains("newline"));
    EXPECT_TRUE(bench.outside().isEmpty()) << bench.outside().join(", ").toStdString();
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/ok.txt").size(), 69);
    for (const QString& entry : testing_support::Tree(bench.out())) {
      EXPECT_FALSE(QFileInfo(bench.out() + "/" + entry).isSymLink()) << entry.toStdString();
    }
  }
}

TEST_F(Unzip32, ChecksOnlyFilesItCanExtract) {
  for (const char* file : {"sfx/stub_only.exe", "sfx/rar4_sfx_winrar.exe", "sfx/rar5_sfx_winrar.exe",
                           "sfx/cab_sfx_small.exe", "tar/t.tar", "damaged/text_named.zip", "damaged/empty.lzh"}) {
    EXPECT_EQ(Unzip().checkArchive(Sample(file).toStdString()), 0) << file;
  }
  EXPECT_EQ(Unzip().checkArchive("/nonexistent/x.zip"), 0);
  EXPECT_EQ(Unzip().version(), 100);
  EXPECT_EQ(Unzip().running(), 0);
}

// A ZIP made by Info-ZIP's zip from `files` (relative paths written under `src`).
QString MakeZip(const TempFolder& tmp, const QStringList& arguments) {
  const QString zip = tmp.file("made.zip");
  QByteArray output;
  EXPECT_EQ(testing_support::Run("zip", QStringList{"-q", "-X", "-r", zip} + arguments, tmp.file("src"), &output), 0)
      << output.toStdString();
  return zip;
}

TEST_F(Unzip32, SelfExtractingFilesWithSmallAndLargeStubs) {
  RK_REQUIRE_PROGRAM("zip");
  TempFolder tmp;
  tmp.write("src/a.txt", "alpha");
  tmp.write("src/dir/b.bin", QByteArray(70000, 'b'));
  const QByteArray zip = testing_support::ReadFile(MakeZip(tmp, {"a.txt", "dir"}));
  for (int stubSize : {7, 300 * 1024}) {
    for (bool adjusted : {false, true}) {
      SCOPED_TRACE(std::to_string(stubSize) + (adjusted ? " adjusted" : " raw"));
      const QString sfx = tmp.write("sfx.exe", testing_support::ExecutableStub(stubSize) + zip);
      if (adjusted) {
        ASSERT_EQ(testing_support::Run("zip", {"-q", "-A", sfx}), 0);
      }
      EXPECT_EQ(Unzip().checkArchive(sfx.toStdString()), 1);
      ModuleBench bench(Unzip());
      EXPECT_EQ(bench.extract("-x", sfx), 0) << bench.report();
      EXPECT_EQ(testing_support::ReadFile(bench.out() + "/a.txt"), "alpha");
      EXPECT_EQ(testing_support::ReadFile(bench.out() + "/dir/b.bin"), QByteArray(70000, 'b'));
    }
  }
}

// Deflated and Deflate64 members (the latter made by 7zz) are decoded apart
// from libarchive and checked as it checks them: a flipped bit fails the
// member, and a CRC or size that the central directory gets wrong (with zeros
// in the local header, which then defers to it) fails only that member.
TEST_F(Unzip32, DeflatedMembersCheckedAgainstTheCentralDirectory) {
  RK_REQUIRE_PROGRAM("zip");
  RK_REQUIRE_PROGRAM("7zz");
  TempFolder tmp;
  QByteArray data;
  for (int i = 0; data.size() < 1 << 20; ++i)
    data += i % 4 ? QByteArray::number(i * 7919) + " 解凍 " : QByteArray(1, static_cast<char>((i * 2654435761u) >> 24));
  tmp.write("src/big.bin", data);
  tmp.write("src/small.txt", "alpha");
  for (const bool deflate64 : {false, true}) {
    SCOPED_TRACE(deflate64 ? "Deflate64" : "Deflate");
    const QStringList make64 = {"a", "-bso0", "-tzip", "-mm=Deflate64", tmp.file("d64.zip"), "big.bin", "small.txt"};
    const QByteArray zip = deflate64 && testing_support::Run("7zz", make64, tmp.file("src")) == 0
                               ? testing_support::ReadFile(tmp.file("d64.zip"))
                               : testing_support::ReadFile(MakeZip(tmp, {"big.bin", "small.txt"}));
    ASSERT_EQ(zip.size() > 8 && zip[8] == 9, deflate64);  // the method of the first member
    const qsizetype central = zip.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    // The local header's CRC-32 or size (at 14, 18 or 22) set to zero, the central one one more (or less).
    const auto centralWrong = [&](int field, bool less = false) {
      QByteArray z = zip;
      z.replace(field, 4, QByteArray(4, '\0'));
      for (qsizetype at = central + field + 2; less ? z[at]-- == 0 : ++z[at] == 0; ++at) {
      }
      return z;
    };
    QByteArray flipped = zip;
    flipped[zip.size() / 3] = static_cast<char>(flipped[zip.size() / 3] ^ 0x08);
    const struct {
      const char* row;
      QByteArray content;
      int32_t code;  // -1: any failure
      int small;     // small.txt comes out: 1, or not: 0; -1: either
    } rows[] = {{"whole", zip, 0, 1},
                {"flipped bit", flipped, -1, -1},
                {"central crc", centralWrong(14), rkarc::kErrChecksum, 1},
                {"central compressed size", centralWrong(18), rkarc::kErrDamaged, 1},
                {"data cut short", centralWrong(18, true), rkarc::kErrDamaged, -1},
                {"central size", centralWrong(22), rkarc::kErrDamaged, 1}};
    for (const auto& row : rows) {
      SCOPED_TRACE(row.row);
      ModuleBench bench(Unzip());
      const int32_t rc = bench.extract("-x", bench.tmp().write("x.zip", row.content));
      EXPECT_TRUE(row.code == -1 ? rkarc::IsFailure(rc) : rc == row.code) << rc << " " << bench.report();
      EXPECT_TRUE(testing_support::ReadFile(bench.out() + "/big.bin") == (row.code == 0 ? data : QByteArray()));
      if (row.small >= 0) {
        EXPECT_EQ(testing_support::Tree(bench.out()).contains("small.txt"), row.small == 1);
      }
    }
  }
}

// A member's name is read again from its local header: a path longer than
// the part of the header read at first still comes out whole.
TEST_F(Unzip32, LongMemberPathsComeOutWhole) {
  RK_REQUIRE_PROGRAM("zip");
  TempFolder tmp;
  const QString deep = QString(200, 'a') + "/" + QString(200, 'b') + "/" + QString(200, 'c') + "/long.txt";
  tmp.write("src/" + deep, "deep");
  tmp.write("src/short.txt", "short");
  const QString zip = MakeZip(tmp, {"short.txt", QString(200, 'a')});
  ModuleBench bench(Unzip());
  EXPECT_EQ(bench.extract("-x", zip), 0) << bench.report();
  EXPECT_EQ(testing_support::ReadFile(bench.out() + "/" + deep), "deep");
  EXPECT_EQ(testing_support::ReadFile(bench.out() + "/short.txt"), "short");
}

// Where the end record of z.zip begins.
qsizetype EndRecord(const QByteArray& zip) { return zip.lastIndexOf(QByteArray("PK\x05\x06", 4)); }

// The last central record's extra field ends in a field that claims 40 bytes
// and holds 2 (with `pastEnd`, its length runs past the directory instead).
void BadTrailingExtra(QByteArray& z, bool pastEnd) {
  const auto le16 = [&z](qsizetype at) { return static_cast<uint8_t>(z[at]) | static_cast<uint8_t>(z[at + 1]) << 8; };
  const qsizetype record = z.lastIndexOf(QByteArray("PK\x01\x02", 4));
  const int added = pastEnd ? 0 : 6;
  z.insert(record + 46 + le16(record + 28) + le16(record + 30), QByteArray("\xFE\xCA\x28\x00xy", added));
  z[record + 30] = static_cast<char>(le16(record + 30) + (pastEnd ? 40 : added));
  z[EndRecord(z) + 12] = static_cast<char>(z[EndRecord(z) + 12] + added);
}

// What writers and damage do to the end of an archive: ZIP64 records, a
// comment longer than libarchive looks back, padding, a damaged signature, nothing at
// all. The central directory is found as other readers find it and every
// member is checked; only an archive whose directory is lost fails.
TEST_F(Unzip32, EndRecordsOfEveryShape) {
  RK_REQUIRE_PROGRAM("zip");
  TempFolder tmp;
  tmp.write("src/a.txt", "forced");
  tmp.write("src/comment", QByteArray(79, 'c').append('\n').repeated(800));  // 64,000 bytes
  const QString plain = "zip -q z.zip a.txt";
  const struct {
    const char* row;
    QString script;
    void (*patch)(QByteArray& zip);
    const char* member;  // null: nothing is written
    const char* content;
    int32_t rc;
    const char* reason;
  } rows[] = {
      // ZIP64 fields marked as such in the plain end record.
      {"Forced64", "zip -q -fz z.zip a.txt", nullptr, "a.txt", "forced", 0, ""},
      // From a pipe: a ZIP64 end record sits between the central directory and
      // a plain end record whose fields are not marked.
      {"Streamed64", "printf streamed | zip -q z.zip -", nullptr, "-", "streamed", 0, ""},
      {"Zip64BesideWrongClassicFields", "zip -q -fz z.zip a.txt",
       [](QByteArray& z) {
         z.replace(EndRecord(z) + 8, 12, QByteArray("\x07\x00\x07\x00\x01\x00\x00\x00\x39\x30\x00\x00", 12));
       },
       "a.txt", "forced", 0, ""},
      {"LongComment", plain + " && (zipnote z.zip; cat comment) > n && zipnote -w z.zip < n", nullptr, "a.txt",
       "forced", 0, ""},
      {"PaddingAfter", plain, [](QByteArray& z) { z.append(100, '\0'); }, "a.txt", "forced", 0, ""},
      {"PaddingBefore", plain, [](QByteArray& z) { z.insert(EndRecord(z), QByteArray(64, '\0')); }, "a.txt", "forced",
       0, ""},
      {"DamagedSignature", plain, [](QByteArray& z) { z[EndRecord(z) + 3] = 7; }, "a.txt", "forced", 0, ""},
      // Other readers ignore a malformed last extra field; the data is still checked.
      {"TrailingExtraOverflows", plain, [](QByteArray& z) { BadTrailingExtra(z, false); }, "a.txt", "forced", 0, ""},
      {"TrailingExtraPastTheDirectory", plain, [](QByteArray& z) { BadTrailingExtra(z, true); }, "a.txt", "forced", 0,
       ""},
      {"TrailingExtraAndWrongData", plain,
       [](QByteArray& z) {
         BadTrailingExtra(z, false);
         z[z.indexOf("forced")] = 'F';
       },
       nullptr, "", rkarc::kErrChecksum, "a.txt: CRCが一致しません"},
      {"EndRecordAlone", "printf 'PK\\005\\006' > z.zip && head -c 18 /dev/zero >> z.zip", nullptr, nullptr, "", 0, ""},
      {"DirectoryLost", plain,
       [](QByteArray& z) {
         const qsizetype end = EndRecord(z);
         z[end + 3] = 7;
         z[z.lastIndexOf(QByteArray("PK\x01\x02", 4)) + 3] = 7;
       },
       nullptr, "", rkarc::kErrDamaged, "ZIPの中央ディレクトリが見つかりません（壊れています）"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    QFile::remove(tmp.file("src/z.zip"));
    ASSERT_EQ(testing_support::Run("sh", {"-c", row.script}, tmp.file("src")), 0);
    if (row.patch) {
      QByteArray zip = testing_support::ReadFile(tmp.file("src/z.zip"));
      row.patch(zip);
      tmp.write("src/z.zip", zip);
    }
    ModuleBench bench(Unzip());
    EXPECT_EQ(bench.extract("-x", tmp.file("src/z.zip")), row.rc) << bench.report();
    EXPECT_EQ(bench.report().starts_with("keep\t"), row.row == std::string_view("DamagedSignature"));  // read past damage
    EXPECT_EQ(testing_support::Tree(bench.out()), row.member ? QStringList{row.member} : QStringList());
    if (row.member) {
      EXPECT_EQ(testing_support::ReadFile(bench.out() + "/" + row.member), row.content);
    } else if (row.rc != 0) {
      EXPECT_EQ(bench.report().substr(0, bench.report().find('\n')), std::string("reason\t") + row.reason);
    }
  }
}

TEST_F(Unzip32, Cp932NamesWithBackslashTrailBytesKeepTheirCharacters) {
  RK_REQUIRE_PROGRAM("zip");
  TempFolder tmp;
  testing_support::MakeCp932Tree(tmp.mkdir("src"));
  QByteArray output;
  const QString zip = tmp.file("jp.zip");
  ASSERT_EQ(testing_support::Run("env", {"LC_ALL=C", "zip", "-q", "-r", zip, "."}, tmp.file("src"), &output), 0)
      << output.toStdString();
  testing_support::ForEachLocale([&](const char*) {
    ModuleBench bench(Unzip());
    EXPECT_EQ(bench.extract("-x", zip), 0) << bench.report();
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/表/能ソ.txt"), "cp932");
  });
}

// An archive of secret.txt encrypted by `encrypt` (a program and its
// switches before the archive) beside plain.txt, which is not.
QString MakeEncryptedZip(const TempFolder& tmp, const QString& name, const QStringList& encrypt) {
  const QString zip = tmp.file(name);
  EXPECT_EQ(testing_support::Run(encrypt.first(), encrypt.mid(1) + QStringList{zip, "secret.txt"}, tmp.file("src")), 0);
  EXPECT_EQ(testing_support::Run("zip", {"-q", zip, "plain.txt"}, tmp.file("src")), 0);
  return zip;
}

// Each kind of encryption without passwords (the encrypted member refused,
// the others extracted), in password mode with none, with wrong ones only
// (nothing written), and with the right one behind many wrong ones, a few of
// which pass the one-byte check of traditional encryption.
TEST_F(Unzip32, PasswordsOpenEncryptedMembersAndWrongOnesWriteNothing) {
  RK_REQUIRE_PROGRAM("zip");
  RK_REQUIRE_PROGRAM("7zz");
  TempFolder tmp;
  tmp.write("src/secret.txt", QByteArray("hidden ").repeated(500));
  tmp.write("src/plain.txt", "open");
  using SetPasswords = int32_t (*)(const char* const*, int32_t);
  const auto set = reinterpret_cast<SetPasswords>(Unzip().symbol("UnZipSetPasswords"));
  ASSERT_NE(set, nullptr);
  std::vector<std::string> wrong;
  for (int i = 0; i < 1000; ++i) wrong.push_back("w" + std::to_string(i));
  const struct {
    const char* kind;
    QStringList encrypt;
    int wrongTried;  // how many wrong passwords go before the right one
    const char* password = "pw";
  } kinds[] = {{"zipcrypto deflated", {"zip", "-q", "-P", "pw"}, 1000},
               {"zipcrypto stored", {"zip", "-q", "-0", "-P", "pw"}, 1000},
               {"aes-256", {"7zz", "a", "-tzip", "-mem=AES256", "-ppw"}, 3},
               {"aes-128", {"7zz", "a", "-tzip", "-mem=AES128", "-ppw"}, 3},
               // as Japanese Windows encrypts "パス": its Shift_JIS bytes
               {"zipcrypto cp932", {"sh", "-c", "zip -q -P \"$(printf '\\203p\\203X')\" \"$0\" \"$1\""}, 3, "パス"}};
  const QStringList both{"plain.txt", "secret.txt"};
  for (const auto& kind : kinds) {
    const QString zip = MakeEncryptedZip(tmp, QString(kind.kind).replace(' ', '_') + ".zip", kind.encrypt);
    std::vector<std::string> rightLast(wrong.begin(), wrong.begin() + kind.wrongTried);
    rightLast.push_back(kind.password);
    const struct {
      const char* row;
      std::optional<std::vector<std::string>> passwords;
      int32_t code;
      QStringList tree;
      const char* lead;
    } rows[] = {{"no password mode", std::nullopt, rkarc::kErrEncrypted, {"plain.txt"}, nullptr},
                {"an empty list", std::vector<std::string>{}, rkarc::kErrEncrypted, {}, "password\tnone"},
                {"wrong ones", std::vector<std::string>{"a", "PW"}, rkarc::kErrWrongPassword, {}, "password\tnone"},
                {"the right one last", rightLast, 0, both, nullptr}};
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(kind.kind) + ": " + row.row);
      std::vector<const char*> list;
      for (const std::string& p : row.passwords.value_or(std::vector<std::string>{})) list.push_back(p.c_str());
      const char* none = nullptr;  // an empty list is still a list
      set(row.passwords ? (list.empty() ? &none : list.data()) : nullptr, static_cast<int32_t>(list.size()));
      ModuleBench bench(Unzip());
      EXPECT_EQ(bench.extract("-x", zip), row.code) << bench.report();
      set(nullptr, 0);
      EXPECT_EQ(testing_support::Tree(bench.out()), row.tree);
      const std::string lead = row.lead ? row.lead : "password\t" + std::to_string(kind.wrongTried);
      if (row.passwords) {
        EXPECT_NE(bench.report().find(lead + "\n"), std::string::npos) << bench.report();
      }
      if (row.code == 0) {
        EXPECT_EQ(testing_support::ReadFile(bench.out() + "/secret.txt"), QByteArray("hidden ").repeated(500));
      }
    }
  }
}

// A 3 MiB member that no compression shrinks, in a ZIP made here.
QString BigZip(const TempFolder& tmp) {
  QByteArray big(3 * 1024 * 1024, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 24);
  tmp.write("src/big.bin", big);
  tmp.write("src/small.txt", "small");
  return MakeZip(tmp, {"small.txt", "big.bin"});
}

TEST_F(Unzip32, FullDiskStopsTheRunAndLeavesNoPartialFile) {
  RK_REQUIRE_PROGRAM("zip");
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::TinyTmpfs);
  if (out.empty()) return;
  TempFolder tmp;
  const QString zip = BigZip(tmp);
  EXPECT_EQ(Unzip().command("-x \"" + zip.toStdString() + "\" \"" + out + "/\""), rkarc::kErrDiskFull);
  EXPECT_EQ(testing_support::Tree(QString::fromStdString(out)), QStringList{"small.txt"});
}

TEST_F(Unzip32, ReadOnlyDestinationStopsTheRun) {
  RK_REQUIRE_PROGRAM("zip");
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::ReadOnlyBind);
  if (out.empty()) return;
  TempFolder tmp;
  const QString zip = BigZip(tmp);
  EXPECT_EQ(Unzip().command("-x \"" + zip.toStdString() + "\" \"" + out + "/\""), rkarc::kErrNotWritable);
  EXPECT_TRUE(testing_support::Tree(QString::fromStdString(out)).isEmpty());
}

struct ProgressLog {
  std::vector<std::pair<uint64_t, uint64_t>> calls;
  int32_t runningDuringCommand = 0;
};

TEST_F(Unzip32, ReportsProgressAndRunningWhileACommandRuns) {
  using SetProgress = void (*)(RkProgressFn, void*);
  auto set = reinterpret_cast<SetProgress>(Unzip().symbol("UnZipSetProgress"));
  ASSERT_NE(set, nullptr);
  ProgressLog log;
  set(
      [](void* context, uint64_t done, uint64_t total) {
        auto* l = static_cast<ProgressLog*>(context);
        l->calls.emplace_back(done, total);
        l->runningDuringCommand = Unzip().running();
      },
      &log);
  ModuleBench bench(Unzip());
  EXPECT_EQ(bench.extract("-x", Sample("sfx/zip_sfx_raw.exe")), 0);
  set(nullptr, nullptr);
  ASSERT_FALSE(log.calls.empty());
  const uint64_t size = QFileInfo(Sample("sfx/zip_sfx_raw.exe")).size();
  EXPECT_EQ(log.calls.back(), std::make_pair(size, size));
  for (const auto& [done, total] : log.calls) {
    EXPECT_LE(done, total);
  }
  EXPECT_NE(log.runningDuringCommand, 0);
  EXPECT_EQ(Unzip().running(), 0);
}

}  // namespace
