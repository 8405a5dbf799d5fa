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
  QString write(const QString& name, const QByteArray& content) const {
    return temp.write(name + "." + GetParam().extension, content);
  }

  TempFolder temp;
  QByteArray archive, single;
};

TEST_P(Tar32Lzma, TarArchivesExtractWholeOrLeaveNothing) {
  QByteArray flipped = archive;
  flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x55);
  enum Expect { Whole, Nothing, Either };
  const struct {
    const char* row;
    QByteArray content;
    const char* options;
    Expect expect;
  } rows[] = {
      {"whole", archive, "-xfo", Whole},
      {"whole, overwriting", archive, "-xfo --overwrite", Whole},
      {"text after it", archive + "not compressed\n", "-xfo", Whole},
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
    } else if (row.expect == Nothing) {
      EXPECT_TRUE(rkarc::IsFailure(rc)) << rc << " " << bench.report();
      EXPECT_EQ(Tree(bench.out()), QStringList()) << bench.report();
    }
    EXPECT_TRUE(bench.outside().isEmpty());
  }
}

TEST_P(Tar32Lzma, SingleFilesAreReadToTheirEnd) {
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
  }
  // Streams that follow one another are one file (xz, lzip, zstd); an .lzma file holds one stream.
  ModuleBench bench(Tar());
  EXPECT_EQ(bench.extract("-Gxf", write("two", single + single)), rkarc::kOk) << bench.report();
  EXPECT_EQ(ReadFile(bench.out() + "/two"), GetParam().extension == QString("lzma") ? Data() : Data() + Data());
}

INSTANTIATE_TEST_SUITE_P(Formats, Tar32Lzma, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

}  // namespace
