// TAR32.DLL (and BZ2LIB.DLL) loaded by file name: every TAR-family sample in
// both command forms and both locales, gzip/bzip2/.Z damage leaving nothing
// written behind, streams read to their end, sparse members, hostile tar
// entries, CP932 and pax UTF-8 names, the single-file form, and a full disk.
#include <sys/stat.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"
#include "tests/support/FaultFolder.h"
#include "tests/support/Manifest.h"

namespace {

using testing_support::ModuleBench;
using testing_support::Sample;
using testing_support::TempFolder;

const testing_support::TestModule& Tar() {
  static const testing_support::TestModule module("TAR32.DLL", "Tar");
  return module;
}

class Tar32 : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Tar().loaded()) << Tar().error(); }
};

// The single-file kinds are named after the archive without its last extension.
bool SingleFileKind(const QString& file) {
  return !file.contains(".tar") && !file.endsWith(".tgz") && !file.endsWith(".taz");
}

int32_t ExtractEitherForm(ModuleBench& bench, const QString& file) {
  if (!SingleFileKind(file)) return bench.extract("-xfo", Sample(file));
  const QString name = QFileInfo(file).fileName().section('.', 0, -2);
  return bench.run("-Gxf", Sample(file), bench.out() + "/" + name);
}

TEST_F(Tar32, EverySampleMatchesTheManifestInEitherFormAndLocale) {
  const QStringList files = testing_support::ManifestFiles("tar/");
  ASSERT_GE(files.size(), 11);
  testing_support::ForEachLocale([&](const char*) {
    for (const QString& file : files) {
      SCOPED_TRACE(file.toStdString());
      ModuleBench bench(Tar());
      EXPECT_EQ(ExtractEitherForm(bench, file), 0) << bench.report();
      EXPECT_EQ(testing_support::CompareWithManifest(bench.out(), file), "");
      EXPECT_EQ(Tar().checkArchive(Sample(file).toStdString()), 1);
    }
  });
}

TEST_F(Tar32, DamagedFilesFailBeforeAnythingHalfWrittenRemains) {
  int checked = 0;
  for (const auto& row : testing_support::ManifestRows()) {
    if (!row.file.startsWith("damaged/") || !QRegularExpression("(tar_|text_).*\\.(tar|gz|Z|bz2)$").match(row.file).hasMatch())
      continue;
    SCOPED_TRACE(row.file.toStdString());
    ModuleBench bench(Tar());
    const int32_t rc = ExtractEitherForm(bench, row.file);
    if (row.expect == "fail") {
      EXPECT_TRUE(rkarc::IsFailure(rc)) << rc << " " << bench.report();
      EXPECT_EQ(testing_support::HalfWrittenFiles(bench.out()), "");
    } else {
      EXPECT_EQ(row.expect, "undetectable");  // .Z has no checksum: any result, but a clean one
    }
    EXPECT_FALSE(testing_support::Tree(bench.out()).join(",").contains(".rukasu2-"));
    ++checked;
  }
  EXPECT_GE(checked, 15);
}

TEST_F(Tar32, GzipChecksAndWhatMayFollowTheLastMember) {
  const QByteArray gz = testing_support::ReadFile(Sample("tar/multi.gz"));
  const struct {
    const char* row;
    QByteArray content;
    int32_t code;
  } rows[] = {{"zero padding", gz + QByteArray(512, '\0'), 0},
              {"trailing garbage", gz + "junk", 0},
              {"cut trailer", gz.left(gz.size() - 4), rkarc::kErrDamaged},
              {"bad crc", QByteArray(gz).replace(gz.size() - 6, 1, "\xEE"), rkarc::kErrChecksum},
              {"reserved flag", QByteArray(gz).replace(3, 1, "\x20"), rkarc::kErrDamaged},
              {"header crc", QByteArray(gz).replace(3, 1, "\x02"), rkarc::kErrDamaged}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ModuleBench bench(Tar());
    const QString file = bench.tmp().write("x.gz", row.content);
    EXPECT_EQ(bench.run("-Gxf", file, bench.out() + "/x"), row.code) << bench.report();
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/x"), row.code == 0 ? QByteArray("abcdef") : QByteArray());
  }
}

// Streams are read to their very end: bzip2 files of several streams (what
// pbzip2, lbzip2 and cat make), and bytes after the last complete stream,
// which are passed over with a note as gzip -t and bsdtar do, keeping the
// archive; unless they may be a stream with a damaged start. Damage stays
// a failure, also when the single file's output exists already and is kept.
TEST_F(Tar32, StreamsAreReadToTheirEnd) {
  TempFolder src;
  QByteArray data(500 * 1024, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 24);
  src.write("one.bin", data);
  ASSERT_EQ(testing_support::Run("tar", {"-cf", "x.tar", "one.bin"}, src.path()), 0);
  // Each half compressed on its own, as pbzip2 and lbzip2 do with blocks.
  qsizetype firstStream = 0;
  const auto streams = [&](const QByteArray& bytes) {
    QByteArray out;
    firstStream = 0;
    for (const QByteArray& half : {bytes.left(bytes.size() / 2), bytes.mid(bytes.size() / 2)}) {
      src.write("half", half);
      EXPECT_EQ(testing_support::Run("bzip2", {"-f", "half"}, src.path()), 0);
      out += testing_support::ReadFile(src.file("half.bz2"));
      firstStream = firstStream ? firstStream : out.size();
    }
    return out;
  };
  const auto flipAt = [](QByteArray bytes, qsizetype at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x04);
    return bytes;
  };
  const QByteArray bz2 = streams(data), badSecond = flipAt(bz2, firstStream);
  const QByteArray tar = testing_support::ReadFile(src.file("x.tar")), tarBz2 = streams(tar);
  ASSERT_EQ(testing_support::Run("gzip", {"-k", "one.bin"}, src.path()), 0);
  const QByteArray gz = testing_support::ReadFile(src.file("one.bin.gz"));
  const char* note = "余分なデータ（4バイト）は無視しました";
  const struct {
    const char* row;
    QByteArray content;
    bool tar;
    const char* existing;  // the single file's output is there already
    int32_t code;
    QByteArray expected;  // the single file, or one.bin of the tar
    const char* report;
  } rows[] = {
      {"bzip2 streams", bz2, false, nullptr, 0, data, nullptr},
      {"tar in bzip2 streams", tarBz2, true, nullptr, 0, data, nullptr},
      {"text after bzip2", bz2 + "junk", false, nullptr, 0, data, note},
      {"text after tar.bz2", tarBz2 + "junk", true, nullptr, 0, data, note},
      {"text after gzip", gz + "\nEOF", false, nullptr, 0, data, note},
      {"second bzip2 stream's start damaged", badSecond, false, nullptr, rkarc::kErrDamaged, {}, nullptr},
      {"second gzip member's start damaged", gz + flipAt(gz, 1), false, nullptr, rkarc::kErrDamaged, {}, nullptr},
      {"gzip member after zero padding", gz + QByteArray(512, '\0') + gz, false, nullptr, rkarc::kErrDamaged, {}, nullptr},
      {"tar without zero blocks", tar.left(512 + data.size()), true, nullptr, 0, data, "keep\ttar"},
      {"second stream cut", bz2.left(bz2.size() - 20), false, nullptr, rkarc::kErrDamaged, {}, nullptr},
      {"cut, output kept", bz2.left(bz2.size() - 20), false, "mine", rkarc::kErrDamaged, "mine", nullptr},
      {"bad crc, output kept", QByteArray(gz).replace(gz.size() - 6, 1, "\xEE"), false, "mine", rkarc::kErrChecksum,
       "mine", nullptr},
      {"whole, output kept", gz, false, "mine", 1, "mine", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ModuleBench bench(Tar());
    const QString file = bench.tmp().write("x", row.content);
    if (row.existing) bench.tmp().write("out/one.bin", row.existing);
    EXPECT_EQ(row.tar ? bench.extract("-xfo", file) : bench.run("-Gxf", file, bench.out() + "/one.bin"), row.code)
        << bench.report();
    EXPECT_TRUE(testing_support::ReadFile(bench.out() + "/one.bin") == row.expected);
    EXPECT_TRUE(!row.report || bench.report().find(row.report) != std::string::npos) << bench.report();
    EXPECT_EQ(bench.report().starts_with("keep\t"), row.report != nullptr) << bench.report();
  }
}

// bzip2 blocks are decoded apart, on one or several threads, from what
// bzip2, pbzip2 (a stream per block) and lbzip2 (an encoder of its own)
// write, and streams of other block sizes may follow. A flipped bit in a
// block, a wrong stream CRC and a cut block fail.
TEST_F(Tar32, Bzip2BlocksDecodedApart) {
  TempFolder src;
  // Several 100 KB blocks of mixed bytes, then zeros: one block stands for
  // more than 4 MB of them.
  QByteArray data;
  for (int i = 0; data.size() < 600 * 1024; ++i)
    data += i % 3 ? QByteArray::number(i * 7919 % 10007) + " 解凍 " : QByteArray(i % 50, static_cast<char>(i));
  for (int i = 0; i < 64 * 1024; ++i) data += static_cast<char>((i * 2654435761u) >> 24);
  data += QByteArray(5 << 20, '\0');
  const auto compress = [&](const QString& tool, const QStringList& options) {
    src.write(tool, data);
    EXPECT_EQ(testing_support::Run(tool, options + QStringList{"-k", "-f", tool}, src.path()), 0);
    return testing_support::ReadFile(src.file(tool + ".bz2"));
  };
  const QByteArray bzip2 = compress("bzip2", {"-1"}), cut = bzip2.left(bzip2.size() / 3);
  QByteArray flipped = bzip2, badStreamCrc = bzip2;
  flipped[bzip2.size() / 5] = static_cast<char>(flipped[bzip2.size() / 5] ^ 0x10);
  badStreamCrc[bzip2.size() - 2] = static_cast<char>(badStreamCrc[bzip2.size() - 2] ^ 0x01);
  struct Row {
    const char* row;
    QByteArray content;
    int32_t code;
    QByteArray expected;
  };
  std::vector<Row> rows = {{"bzip2", bzip2, 0, data},
                           {"levels 1 then 9", bzip2 + compress("bzip2", {"-9"}), 0, data + data},
                           {"flipped bit in a block", flipped, rkarc::kErrChecksum, {}},
                           {"wrong stream crc", badStreamCrc, rkarc::kErrChecksum, {}},
                           {"cut block", cut, rkarc::kErrDamaged, {}}};
  for (const char* tool : {"pbzip2", "lbzip2"})
    if (testing_support::HaveProgram(tool)) rows.push_back({tool, compress(tool, {"-1"}), 0, data});
  for (const char* threads : {"1", "3"}) {
    qputenv("RUKASU2_BZIP2_THREADS", threads);
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.row) + ", threads " + threads);
      ModuleBench bench(Tar());
      EXPECT_EQ(bench.run("-Gxf", bench.tmp().write("x.bz2", row.content), bench.out() + "/x"), row.code)
          << bench.report();
      EXPECT_TRUE(testing_support::ReadFile(bench.out() + "/x") == row.expected);
    }
  }
  qunsetenv("RUKASU2_BZIP2_THREADS");
}

// 16 MiB with data at its start and in its middle, ending in a hole, and the
// tar archives GNU tar makes of it in its three sparse forms.
QStringList MakeSparseArchives(const TempFolder& tmp, QByteArray& content) {
  content = QByteArray(16 << 20, '\0');
  for (int at : {0, 7 << 20})
    for (int i = 0; i < 100000; ++i) content[at + i] = static_cast<char>((i * 2654435761u) >> 24);
  QFile file(tmp.file("sparse.bin"));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  for (int at : {0, 7 << 20}) {
    file.seek(at);
    file.write(content.mid(at, 100000));
  }
  file.resize(content.size());
  file.close();
  QStringList archives;
  for (const QStringList& format : {QStringList{"--format=gnu"}, QStringList{"--format=pax", "--sparse-version=0.1"},
                                    QStringList{"--format=pax", "--sparse-version=1.0"}}) {
    archives << tmp.file(QString("sparse%1.tar").arg(archives.size()));
    EXPECT_EQ(testing_support::Run("tar", format + QStringList{"--sparse", "-cf", archives.last(), "sparse.bin"}, tmp.path()), 0);
  }
  return archives;
}

// A sparse member takes the room its data takes, not that of its holes.
TEST_F(Tar32, SparseMembersTakeTheRoomOfTheirData) {
  TempFolder src;
  QByteArray content;
  for (const QString& archive : MakeSparseArchives(src, content)) {
    SCOPED_TRACE(archive.toStdString());
    ModuleBench bench(Tar());
    EXPECT_EQ(bench.extract("-xfo", archive), 0) << bench.report();
    struct stat st {};
    ASSERT_EQ(stat((bench.out() + "/sparse.bin").toStdString().c_str(), &st), 0);
    EXPECT_LT(st.st_blocks * 512, 2 << 20);
    EXPECT_TRUE(testing_support::ReadFile(bench.out() + "/sparse.bin") == content);
  }
}

// exFAT keeps no holes: the same bytes, written out.
TEST_F(Tar32, SparseMembersOnAFileSystemWithoutHoles) {
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::ExFat);
  if (out.empty()) return;
  TempFolder src;
  QByteArray content;
  const QString archive = MakeSparseArchives(src, content).first();
  EXPECT_EQ(Tar().command("-xfo \"" + archive.toStdString() + "\" \"" + out + "/\""), 0);
  EXPECT_TRUE(testing_support::ReadFile(QString::fromStdString(out) + "/sparse.bin") == content);
}

TEST_F(Tar32, HostileEntriesStayInsideAndLoseSpecialBits) {
  for (const QString& file : testing_support::ManifestFiles("hostile/tar_")) {
    SCOPED_TRACE(file.toStdString());
    ModuleBench bench(Tar());
    bench.extract("-xfo", Sample(file));
    EXPECT_TRUE(bench.outside().isEmpty()) << bench.outside().join(", ").toStdString();
    for (const QString& entry : testing_support::Tree(bench.out())) {
      struct stat st {};
      ASSERT_EQ(lstat((bench.out() + "/" + entry).toStdString().c_str(), &st), 0);
      EXPECT_TRUE(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) << entry.toStdString();
      EXPECT_EQ(st.st_mode & 07000, 0u) << entry.toStdString();
    }
  }
}

// An EUC-JP name read as CP932 keeps its extension: the byte that forms no
// character is one U+FFFD and the dot after it stays.
TEST_F(Tar32, Cp932PaxUtf8AndEucJpNamesInEitherLocale) {
  RK_REQUIRE_PROGRAM("bsdtar");
  TempFolder tmp;
  testing_support::MakeCp932Tree(tmp.mkdir("src"));
  tmp.write("src/日本語.txt", "utf8");
  const std::string euc = tmp.file("src/").toStdString() + "\xB4\xC1\xBB\xFA.txt";  // 漢字.txt in EUC-JP
  ASSERT_TRUE(QFile::copy(tmp.file("src/日本語.txt"), tmp.file("euc")));
  ASSERT_EQ(::rename(tmp.file("euc").toStdString().c_str(), euc.c_str()), 0);
  const QString gnu = tmp.file("gnu.tar"), pax = tmp.file("pax.tar");
  ASSERT_EQ(testing_support::Run("env", {"LC_ALL=C", "tar", "--format=gnu", "-cf", gnu, "."}, tmp.file("src")), 0);
  ASSERT_EQ(testing_support::Run("env", {"LANG=C.UTF-8", "bsdtar", "--format=pax", "-cf", pax, "日本語.txt"},
                                 tmp.file("src")),
            0);
  testing_support::ForEachLocale([&](const char*) {
    ModuleBench gnuBench(Tar()), paxBench(Tar());
    EXPECT_EQ(gnuBench.extract("-xfo", gnu), 0) << gnuBench.report();  // with a "./" entry
    EXPECT_EQ(testing_support::ReadFile(gnuBench.out() + "/表/能ソ.txt"), "cp932");
    EXPECT_EQ(testing_support::ReadFile(gnuBench.out() + QString::fromUtf8("/ｴﾁｻ\uFFFD.txt")), "utf8");
    EXPECT_EQ(paxBench.extract("-xfo", pax), 0) << paxBench.report();
    EXPECT_EQ(testing_support::ReadFile(paxBench.out() + "/日本語.txt"), "utf8");
  });
}

// Members whose names meet on disk in pairs (bytes that are no CP932
// character, a TAB, a backslash), as GNU tar writes them: every one is
// written, each later one under a numbered name, and the archive is kept.
TEST_F(Tar32, MembersWhoseNamesMeetOnDiskAreAllWritten) {
  TempFolder src;
  src.mkdir("in/d");
  const char* names[] = {"a\xFD.txt", "a\xFE.txt", "d/e.txt", "d\\e.txt", "t\tb", "t_b"};
  for (const char* name : names) {
    FILE* f = std::fopen((src.file("in/").toStdString() + name).c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(name, f);
    std::fclose(f);
  }
  ASSERT_EQ(testing_support::Run("tar", {"--sort=name", "-cf", "../x.tar", "."}, src.file("in")), 0);
  ModuleBench bench(Tar());
  EXPECT_EQ(bench.extract("-xfo", src.file("x.tar")), 0) << bench.report();
  const QString disk[] = {"a\uFFFD.txt", "a\uFFFD (2).txt", "d/e.txt", "d/e (2).txt", "t_b", "t_b (2)"};
  for (size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/" + disk[i]), QByteArray(names[i])) << i;
  EXPECT_EQ(testing_support::Tree(bench.out()).size(), 7);
  EXPECT_TRUE(bench.report().starts_with("keep\t")) << bench.report();
}

TEST_F(Tar32, TheSingleFileFormKeepsAnExistingFileUnlessOverwriting) {
  ModuleBench single(Tar());
  single.tmp().write("out/text.txt", "mine");
  EXPECT_EQ(single.run("-Gxf", Sample("tar/text.txt.bz2"), single.out() + "/text.txt"), 1);
  EXPECT_EQ(testing_support::ReadFile(single.out() + "/text.txt"), "mine");
  EXPECT_EQ(single.run("-Gxf --overwrite", Sample("tar/text.txt.bz2"), single.out() + "/text.txt"), 0);
  EXPECT_EQ(testing_support::ReadFile(single.out() + "/text.txt").size(), 40960);
}

// Members are written as the stream is decoded; a checksum that fails at the
// end takes back every file of this extraction and leaves the user's own.
// With overwrite the archive is checked first, so nothing is replaced.
TEST_F(Tar32, ALateStreamFailureTakesBackWhatWasWrittenButNotTheUsersFiles) {
  // Large enough that members are written long before the gzip trailer is read.
  TempFolder source;
  QByteArray data(3 * 1024 * 1024, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 24);
  source.write("first.txt", "whole before the damage shows");
  source.write("sub/big.bin", data);
  source.write("small.txt", "from the archive");
  const QString tgz = source.file("x.tar.gz");
  ASSERT_EQ(testing_support::Run("tar", {"-czf", tgz, "first.txt", "sub", "small.txt"}, source.path()), 0);
  QByteArray badCrc = testing_support::ReadFile(tgz);
  badCrc[badCrc.size() - 8] = static_cast<char>(badCrc[badCrc.size() - 8] ^ 0x55);
  const QByteArray bz2 = testing_support::ReadFile(Sample("tar/t.tar.bz2"));
  const struct {
    const char* row;
    const char* name;
    QByteArray content;
    const char* options;
    int32_t code;
    bool takenBack;  // members were written, then removed
  } rows[] = {{"gzip crc", "x.tar.gz", badCrc, "-xfo", rkarc::kErrChecksum, true},
              {"bzip2 end cut off", "x.tar.bz2", bz2.left(bz2.size() - 10), "-xfo", rkarc::kErrDamaged, true},
              {"gzip crc with overwrite", "x.tar.gz", badCrc, "-xfo --overwrite", rkarc::kErrChecksum, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ModuleBench bench(Tar());
    bench.tmp().write("out/small.txt", "mine");
    EXPECT_EQ(bench.extract(row.options, bench.tmp().write(row.name, row.content)), row.code) << bench.report();
    EXPECT_EQ(testing_support::Tree(bench.out()), QStringList({"small.txt"}));
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/small.txt"), "mine");
    EXPECT_EQ(bench.report().find("書き出したファイルを削除しました") != std::string::npos, row.takenBack)
        << bench.report();
  }
}

// The program names only the folder for .bz2 and .bzip2 files ("-Gxf" with
// "OUT/"): the file takes the archive's name without its extension.
TEST_F(Tar32, SingleFileFormIntoAFolder) {
  for (const char* file : {"tar/text.txt.bz2", "tar/text.txt.gz", "tar/text.txt.Z"}) {
    SCOPED_TRACE(file);
    ModuleBench bench(Tar());
    EXPECT_EQ(bench.run("-Gxf", Sample(file), bench.out() + "/"), 0) << bench.report();
    EXPECT_EQ(testing_support::Tree(bench.out()), QStringList({"text.txt"}));
  }
  ModuleBench tar(Tar());  // without -G a folder output means a tar archive
  EXPECT_NE(tar.run("-xfo", Sample("tar/text.txt.bz2"), tar.out() + "/"), 0);
}

// A gzip file's decompressed file keeps the time its header stores, and the
// stored name when only the folder is given, as gzip -N does.
TEST_F(Tar32, GzipHeaderGivesTheTimeAndWithAFolderTheName) {
  TempFolder tmp;
  const QString plain = tmp.write("src/原本 name.txt", "hello");
  const QDateTime stored = QDateTime::fromSecsSinceEpoch(981173106);
  QFile file(plain);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(stored, QFileDevice::FileModificationTime));
  file.close();
  ASSERT_EQ(testing_support::Run("gzip", {"-k", "原本 name.txt"}, tmp.file("src")), 0);
  const QString named = tmp.file("src/renamed.gz"), bare = tmp.file("src/bare.gz");
  ASSERT_TRUE(QFile::rename(tmp.file("src/原本 name.txt.gz"), named));
  ASSERT_EQ(testing_support::Run("sh", {"-c", "gzip -n -c '原本 name.txt' > bare.gz"}, tmp.file("src")), 0);
  const struct {
    QString archive, second, made;
    bool time;
  } rows[] = {
      {named, "/", "原本 name.txt", true},
      {named, "/given.txt", "given.txt", true},
      {bare, "/", "bare", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.made.toStdString());
    ModuleBench bench(Tar());
    EXPECT_EQ(bench.run("-Gxf", row.archive, bench.out() + row.second), 0) << bench.report();
    EXPECT_EQ(testing_support::Tree(bench.out()), QStringList{row.made});
    EXPECT_EQ(QFileInfo(bench.out() + "/" + row.made).lastModified() == stored, row.time);
  }
}

TEST_F(Tar32, WhatItCannotExtract) {
  for (const char* file : {"zip/utf8_flag.zip", "damaged/tar_hdrsum.tar", "damaged/text_named.zip",
                           "sfx/stub_only.exe", "damaged/empty.lzh"}) {
    EXPECT_EQ(Tar().checkArchive(Sample(file).toStdString()), 0) << file;
  }
  ModuleBench plain(Tar());
  EXPECT_EQ(plain.run("-Gxf", Sample("tar/t.tar"), plain.out() + "/t"), rkarc::kErrNotArchive);
  EXPECT_EQ(plain.extract("-xfo", Sample("zip/utf8_flag.zip")), rkarc::kErrNotArchive);
  EXPECT_EQ(plain.extract("-xfo", plain.tmp().file("missing.tar")), rkarc::kErrArchiveOpen);
  EXPECT_EQ(plain.run("-xfo", Sample("tar/t.tar"), ""), rkarc::kErrCommand);
  EXPECT_TRUE(testing_support::Tree(plain.out()).isEmpty());
}

TEST_F(Tar32, FullDiskLeavesNothingOfTheMemberThatDidNotFit) {
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::TinyTmpfs);
  if (out.empty()) return;
  TempFolder tmp;
  QByteArray big(3 * 1024 * 1024, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 24);
  tmp.write("src/big.bin", big);
  const QString archive = tmp.file("big.tar.gz"), sparse = tmp.file("sparse.tar");
  ASSERT_EQ(testing_support::Run("tar", {"-czf", archive, "big.bin"}, tmp.file("src")), 0);
  // A sparse member whose data alone does not fit.
  ASSERT_TRUE(QFile(tmp.file("src/big.bin")).resize(64 << 20));
  ASSERT_EQ(testing_support::Run("tar", {"--sparse", "-cf", sparse, "big.bin"}, tmp.file("src")), 0);
  for (const QString& file : {archive, sparse}) {
    EXPECT_EQ(Tar().command("-xfo \"" + file.toStdString() + "\" \"" + out + "/\""), rkarc::kErrDiskFull);
    EXPECT_TRUE(testing_support::Tree(QString::fromStdString(out)).isEmpty());
  }
}

TEST_F(Tar32, VersionsAndTheBzip2Companion) {
  EXPECT_EQ(Tar().version(), 100);
  EXPECT_EQ(Tar().running(), 0);
  const testing_support::TestModule bz2("BZ2LIB.DLL", "BZ2");
  ASSERT_TRUE(bz2.loaded()) << bz2.error();
  EXPECT_EQ(bz2.version(), 100);
  EXPECT_EQ(bz2.symbol("BZ2"), nullptr);  // no command entry point
}

}  // namespace
