// TAR32.DLL with the compressions of today, on files made here with xz,
// zstd and lzip: a tar archive and a single file of each, whole, cut, damaged,
// followed by another stream or by text, and with an existing output. A
// damaged stream fails and takes back what was written from it.
#include <QFileInfo>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"

namespace {

using testing_support::ModuleBench;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::Tree;

const testing_support::TestModule& Tar() {
  static const testing_support::TestModule module("TAR32.DLL", "Tar");
  return module;
}

struct Format {
  const char* name;
  const char* extension;
  const char* program;
  QStringList arguments;  // then the file, which the tool keeps beside its output
  bool checked;           // damage that still decodes is noticed
};

const Format kFormats[] = {
    {"xz", "xz", "xz", {"-k", "-T2", "--block-size=64KiB"}, true},
    {"zstd", "zst", "zstd", {"-q", "-k"}, true},
    {"lzip", "lz", "lzip", {"-k"}, true},
    {"lzma", "lzma", "xz", {"-k", "--format=lzma"}, false},
};

// Compressible data that differs all along, so that damage anywhere shows.
QByteArray Data() {
  QByteArray data;
  for (int i = 0; data.size() < 400 * 1024; ++i) data += QByteArray::number(i * 2654435761u) + (i % 7 ? " " : "\n");
  return data;
}

const QStringList kTree = {"README.TXT", "data.bin", "表/", "表/能ソ.txt"};

class Tar32Lzma : public testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Tar().loaded()) << Tar().error();
    RK_REQUIRE_PROGRAM(GetParam().program);
    temp.write("src/README.TXT", "read me\n");
    temp.write("src/data.bin", Data());
    temp.write("src/表/能ソ.txt", "cp932");
    ASSERT_EQ(testing_support::Run("tar", {"-cf", "../x.tar", "README.TXT", "data.bin", "表"}, temp.file("src")), 0);
    temp.write("one.bin", Data());
    archive = compressed("x.tar");
    single = compressed("one.bin");
  }
  QByteArray compressed(const QString& name) const {
    QByteArray output;
    EXPECT_EQ(testing_support::Run(GetParam().program, GetParam().arguments + QStringList{name}, temp.path(), &output), 0)
        << output.toStdString();
    return ReadFile(temp.file(name + "." + GetParam().extension));
  }
  QByteArray compressed(const QString& name, const QByteArray& content) const {
    temp.write(name, content);
    return compressed(name);
  }
  QString write(const QString& name, const QByteArray& content) const {
    return temp.write(name + "." + GetParam().extension, content);
  }

  TempFolder temp;
  QByteArray archive, single;
};

// A second stream that starts where the first README.TXT ends, and the tar
// up to the end of its last member, without its zero blocks.
TEST_P(Tar32Lzma, TarArchivesExtractWholeOrLeaveNothing) {
  QByteArray flipped = archive;
  flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x55);
  const QByteArray tar = ReadFile(temp.file("x.tar")), first = compressed("first", tar.left(1024));
  QByteArray second = compressed("second", tar.mid(1024));
  second[0] = static_cast<char>(second[0] ^ 0x01);
  const qsizetype members = (tar.lastIndexOf(QByteArray("cp932")) / 512 + 1) * 512;
  enum Expect { Whole, Nothing, Either };
  const struct {
    const char* row;
    QByteArray content;
    const char* options;
    Expect expect;
    bool kept = false;  // whole, but the archive is to be kept
  } rows[] = {
      {"whole", archive, "-xfo", Whole},
      {"whole, overwriting", archive, "-xfo --overwrite", Whole},
      {"text after it", archive + "not compressed\n", "-xfo", Whole, true},
      {"the second stream's start damaged", first + second, "-xfo", Nothing},
      {"the tar goes on past the first stream and text", first + "not compressed\n", "-xfo", Nothing},
      {"the same, overwriting", first + "not compressed\n", "-xfo --overwrite", Nothing},
      {"no zero blocks", compressed("members", tar.left(members)), "-xfo", Whole, true},
      {"cut", archive.left(archive.size() * 2 / 3), "-xfo", Nothing},
      {"cut, overwriting", archive.left(archive.size() - 8), "-xfo --overwrite", Nothing},
      {"damaged", flipped, "-xfo", GetParam().checked ? Nothing : Either},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const QString file = write("in.tar", row.content);
    EXPECT_EQ(Tar().checkArchive(file.toStdString()), 1);
    ModuleBench bench(Tar());
    const int32_t rc = bench.extract(row.options, file);
    if (row.expect == Whole) {
      EXPECT_EQ(rc, rkarc::kOk) << bench.report();
      EXPECT_EQ(Tree(bench.out()), kTree);
      EXPECT_EQ(ReadFile(bench.out() + "/data.bin"), Data());
      EXPECT_EQ(bench.report().starts_with("keep\t"), row.kept) << bench.report();
    } else if (row.expect == Nothing) {
      EXPECT_TRUE(rkarc::IsFailure(rc)) << rc << " " << bench.report();
      EXPECT_EQ(Tree(bench.out()), QStringList()) << bench.report();
    }
    EXPECT_TRUE(bench.outside().isEmpty());
  }
}

TEST_P(Tar32Lzma, SingleFilesAreReadToTheirEnd) {
  const bool magic = GetParam().extension != QString("lzma");  // .lzma streams have none: what follows is text
  QByteArray flipped = single + single;
  flipped[single.size() + 1] = static_cast<char>(flipped[single.size() + 1] ^ 0x20);
  const struct {
    const char* row;
    QByteArray content;
    const char* existing;  // the output is there already and kept
    int32_t code;
    QByteArray expected;
    const char* report;
  } rows[] = {
      {"whole", single, nullptr, rkarc::kOk, Data(), nullptr},
      {"text after it", single + "EOF\n", nullptr, rkarc::kOk, Data(), "余分なデータ（4バイト）は無視しました"},
      {"zero padding after it", single + QByteArray(512, '\0'), nullptr, rkarc::kOk, Data(), nullptr},
      {"the second stream's start damaged", flipped, nullptr, magic ? rkarc::kErrDamaged : rkarc::kOk,
       magic ? QByteArray() : Data(), magic ? "先頭が正しくありません" : "は無視しました"},
      {"cut", single.chopped(5), nullptr, rkarc::kErrDamaged, {}, nullptr},
      {"cut, output kept", single.chopped(5), "mine", rkarc::kErrDamaged, "mine", nullptr},
      {"whole, output kept", single, "mine", 1, "mine", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ModuleBench bench(Tar());
    if (row.existing) bench.tmp().write("out/one.bin", row.existing);
    EXPECT_EQ(bench.run("-Gxf", write("in", row.content), bench.out() + "/one.bin"), row.code) << bench.report();
    EXPECT_EQ(ReadFile(bench.out() + "/one.bin"), row.expected);
    EXPECT_TRUE(!row.report || bench.report().find(row.report) != std::string::npos) << bench.report();
    EXPECT_EQ(bench.report().starts_with("keep\t"), row.code == rkarc::kOk && row.report != nullptr);
  }
  // Streams that follow one another are one file (xz, lzip, zstd); an .lzma file holds one stream.
  ModuleBench bench(Tar());
  EXPECT_EQ(bench.extract("-Gxf", write("two", single + single)), rkarc::kOk) << bench.report();
  EXPECT_EQ(ReadFile(bench.out() + "/two"), GetParam().extension == QString("lzma") ? Data() : Data() + Data());
}

INSTANTIATE_TEST_SUITE_P(Formats, Tar32Lzma, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

}  // namespace
