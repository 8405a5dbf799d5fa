// What every archiver module guarantees alike, run over each module loaded by
// file name: member names select the same way (wildcards, "./", "\", folders,
// letter case as the format has it, names that are not there), the command
// is read the same way (unknown options, other command words, malformed
// commands), a missing archive or output folder fails alike, and only a
// regular file is taken as an archive. Each module extracts an archive of
// the same three members, made here (ISH32.DLL: two sample texts joined).
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/CabBuilder.h"
#include "tests/archivers/LzhTestArchive.h"
#include "tests/archivers/ModuleBench.h"
#include "tests/archivers/RarBuilder.h"
#include "tests/archivers/SafeWriterTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ModuleBench;
using testing_support::TempFolder;
using testing_support::TestModule;
using testing_support::Tree;

const QByteArray kReadMe = "read me\r\n";
const QByteArray kData = QByteArray("\x00\x01\xFF binary", 10).repeated(30);
const QByteArray kNote = "a note\r\n";

// Writes README.TXT, DATA.BIN and sub/NOTE.TXT into `folder` and returns it.
QString SourceTree(const TempFolder& temp) {
  temp.write("src/README.TXT", kReadMe);
  temp.write("src/DATA.BIN", kData);
  temp.write("src/sub/NOTE.TXT", kNote);
  return temp.file("src");
}

// Makes the archive with a tool run in the source folder; empty on failure.
QString MadeBy(const TempFolder& temp, const QString& program, QStringList arguments, const QString& archive) {
  const QString src = SourceTree(temp);
  arguments.replaceInStrings("@", temp.file(archive));
  QByteArray output;
  if (testing_support::Run(program, arguments, src, &output) != 0) {
    ADD_FAILURE() << program.toStdString() << ": " << output.toStdString();
    return {};
  }
  return temp.file(archive);
}

// Made on Unix ('U'): names in capitals from MS-DOS would come out in small letters.
QString Lzh(const TempFolder& temp) {
  using testing_support::LzhLevel2;
  const QByteArray sub = testing_support::LzhExtended(0x02, "sub\xFF");
  return temp.write("a.lzh", LzhLevel2({"README.TXT", kReadMe, 'U', {}, 0}) + LzhLevel2({"DATA.BIN", kData, 'U', {}, 0}) +
                                 LzhLevel2({"NOTE.TXT", kNote, 'U', sub, 0}) + QByteArray(1, '\0'));
}

QString Zip(const TempFolder& temp) {
  return MadeBy(temp, "zip", {"-q", "-X", "-D", "@", "README.TXT", "DATA.BIN", "sub/NOTE.TXT"}, "a.zip");
}

QString Arj(const TempFolder& temp) { return MadeBy(temp, "arj", {"a", "-y", "-r", "@", "*"}, "a.arj"); }

QString Tar(const TempFolder& temp) {
  return MadeBy(temp, "tar", {"-cf", "@", "README.TXT", "DATA.BIN", "sub/NOTE.TXT"}, "a.tar");
}

QString Cab(const TempFolder& temp) {
  testing_support::CabBuilder builder;
  builder.add({"README.TXT", kReadMe.toStdString()});
  builder.add({"DATA.BIN", kData.toStdString()});
  builder.add({"sub\\NOTE.TXT", kNote.toStdString()});
  return temp.write("a.cab", QByteArray::fromStdString(builder.build()));
}

QString Rar(const TempFolder& temp) {
  using testing_support::StoredRarMember;
  const auto volumes = testing_support::Rar5Volumes(
      {StoredRarMember("README.TXT", kReadMe), StoredRarMember("DATA.BIN", kData),
       StoredRarMember("sub/NOTE.TXT", kNote)},
      1 << 20);
  return temp.write("a.rar", volumes.value(0));
}

QString SevenZip(const TempFolder& temp) {
  return MadeBy(temp, "7zz", {"a", "-bso0", "-bsp0", "@", "README.TXT", "DATA.BIN", "sub/NOTE.TXT"}, "a.7z");
}

// ISH texts hold bare file names; a text may hold several files.
QString Ish(const TempFolder& temp) {
  using testing_support::ReadFile;
  using testing_support::Sample;
  return temp.write("a.ish", ReadFile(Sample("ish/sjis/README.ish")) + ReadFile(Sample("ish/sjis/DATA.ish")));
}

struct ModuleRow {
  const char* file;
  const char* prefix;
  const char* extension;
  const char* options;         // the program's default option text
  const char* unknownOption;   // an option the module does not know
  const char* overwrite;       // the options that replace existing files
  const char* flatten;         // the options that drop folders, or null
  bool folders;                // members may lie in folders
  bool namesIgnoreCase;        // the format's names compare ASCII letters in either case
  std::function<QString(const TempFolder&)> make;
};

void PrintTo(const ModuleRow& row, std::ostream* out) { *out << row.file; }

const QStringList kEverything = {"DATA.BIN", "README.TXT", "sub/", "sub/NOTE.TXT"};
const QStringList kNoteInSub = {"sub/", "sub/NOTE.TXT"};

class ModuleContract : public testing::TestWithParam<ModuleRow> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.loaded()) << module.error();
    archive = GetParam().make(temp);
    ASSERT_FALSE(archive.isEmpty());
  }
  QStringList everything() const {
    return GetParam().folders ? kEverything : QStringList{"DATA.BIN", "README.TXT"};
  }

  TestModule module{GetParam().file, GetParam().prefix};
  TempFolder temp;
  QString archive;
};

TEST_P(ModuleContract, MemberNamesSelectAlike) {
  const ModuleRow& m = GetParam();
  const struct {
    const char* why;
    QStringList names;
    QStringList tree;
    int32_t code;
    bool needsFolders;
    bool otherCase;
  } rows[] = {
      {"one member", {"DATA.BIN"}, {"DATA.BIN"}, rkarc::kOk, false, false},
      {"other letter case", {"data.bin"}, {"DATA.BIN"}, rkarc::kOk, false, true},
      {"dot slash", {"./DATA.BIN"}, {"DATA.BIN"}, rkarc::kOk, false, false},
      {"star", {"*.BIN"}, {"DATA.BIN"}, rkarc::kOk, false, false},
      {"question mark and set", {"?EADME.[ST]XT"}, {"README.TXT"}, rkarc::kOk, false, false},
      {"path", {"sub/NOTE.TXT"}, kNoteInSub, rkarc::kOk, true, false},
      {"backslash", {"sub\\NOTE.TXT"}, kNoteInSub, rkarc::kOk, true, false},
      {"last component", {"NOTE.TXT"}, kNoteInSub, rkarc::kOk, true, false},
      {"folder", {"sub"}, kNoteInSub, rkarc::kOk, true, false},
      {"a missing name fails, the others extract", {"MISSING.BIN", "DATA.BIN"}, {"DATA.BIN"}, rkarc::kErrNoMember,
       false, false},
      {"a name no member can have", {"../DATA.BIN"}, {}, rkarc::kErrNoMember, false, false},
  };
  for (const auto& row : rows) {
    if (row.needsFolders && !m.folders) continue;
    SCOPED_TRACE(row.why);
    ModuleBench bench(module);
    const bool caseTells = row.otherCase && !m.namesIgnoreCase;
    const int32_t code = caseTells ? rkarc::kErrNoMember : row.code;
    const QStringList tree = caseTells ? QStringList{} : row.tree;
    EXPECT_EQ(bench.extract(m.options, archive, row.names), code) << bench.report();
    EXPECT_EQ(Tree(bench.out()), tree);
    EXPECT_TRUE(bench.outside().isEmpty());
    if (code == rkarc::kErrNoMember) {
      EXPECT_NE(bench.report().find(row.names[0].toStdString() + ": 書庫にありません"), std::string::npos)
          << bench.report();
    }
  }
}

TEST_P(ModuleContract, CommandsReadAlike) {
  const ModuleRow& m = GetParam();
  const std::string arc = "\"" + archive.toStdString() + "\"";
  {
    ModuleBench bench(module);
    EXPECT_EQ(bench.extract(std::string(m.options) + " " + m.unknownOption, archive), rkarc::kOk);
    EXPECT_NE(bench.report().find(std::string("不明なオプションを無視しました: ") + m.unknownOption),
              std::string::npos)
        << bench.report();
    EXPECT_EQ(Tree(bench.out()), everything());
  }
  const struct {
    const char* why;
    std::string command;
    const char* reason;
  } refused[] = {
      {"only the archive", std::string(m.options) + " " + arc, "書庫と解凍先フォルダを指定してください"},
      {"an unclosed quote", std::string(m.options) + " " + arc + " \"out", "コマンドの引用符が閉じていません"},
      {"another command word", "d " + arc + " \"" + temp.file("out").toStdString() + "/\"",
       "このコマンドは使えません: d"},
  };
  for (const auto& row : refused) {
    if (m.unknownOption[0] == '/' && row.command[0] == 'd') continue;  // "/" options: no command words
    SCOPED_TRACE(row.why);
    std::string report;
    EXPECT_EQ(module.command(row.command, &report), rkarc::kErrCommand);
    EXPECT_NE(report.find(std::string("reason\t") + row.reason + "\n"), std::string::npos) << report;
    EXPECT_TRUE(Tree(temp.file("out")).isEmpty());
  }
}

TEST_P(ModuleContract, AnExistingFileIsKeptAndCountedUnlessOverwriteIsAsked) {
  const ModuleRow& m = GetParam();
  ModuleBench bench(module);
  bench.tmp().write("out/README.TXT", "mine");
  if (m.folders) bench.tmp().write("out/sub/NOTE.TXT", "mine too");
  EXPECT_EQ(bench.extract(m.options, archive), m.folders ? 2 : 1);
  EXPECT_NE(bench.report().find("README.TXT"), std::string::npos) << bench.report();
  EXPECT_EQ(testing_support::ReadFile(bench.out() + "/README.TXT"), "mine");
  if (m.folders) {
    EXPECT_EQ(testing_support::ReadFile(bench.out() + "/sub/NOTE.TXT"), "mine too");
  }
  EXPECT_EQ(Tree(bench.out()), everything());  // the other members are there

  EXPECT_EQ(bench.extract(m.overwrite, archive), rkarc::kOk) << bench.report();
  EXPECT_NE(testing_support::ReadFile(bench.out() + "/README.TXT"), "mine");
  EXPECT_EQ(Tree(bench.out()), everything());
}

TEST_P(ModuleContract, WithoutFoldersEveryMemberGoesIntoTheOutputFolder) {
  const ModuleRow& m = GetParam();
  if (m.flatten == nullptr) return;  // no option for it
  ModuleBench bench(module);
  EXPECT_EQ(bench.extract(m.flatten, archive), rkarc::kOk) << bench.report();
  EXPECT_EQ(Tree(bench.out()), QStringList({"DATA.BIN", "NOTE.TXT", "README.TXT"}));
}

TEST_P(ModuleContract, AMissingArchiveOrOutputFolderFailsAlike) {
  const ModuleRow& m = GetParam();
  ModuleBench bench(module);
  EXPECT_EQ(bench.extract(m.options, temp.file("absent." + QString(m.extension))), rkarc::kErrArchiveOpen);
  EXPECT_NE(bench.report().find("reason\t書庫を開けません\n"), std::string::npos) << bench.report();
  EXPECT_EQ(bench.run(m.options, archive, bench.tmp().file("absent/")), rkarc::kErrOutputFolder) << bench.report();
  EXPECT_TRUE(Tree(bench.out()).isEmpty());
  EXPECT_TRUE(bench.outside().isEmpty());
}

// A FIFO (whose open must not wait for a writer that never comes), a folder
// and a device are refused by the archive check and by the command, which
// then writes nothing.
TEST_P(ModuleContract, OnlyARegularFileIsAnArchive) {
  const ModuleRow& m = GetParam();
  const QString fifo = temp.file(QStringLiteral("pipe.") + m.extension);
  ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
  const struct {
    const char* what;
    QString path;
  } inputs[] = {{"FIFO", fifo},
                {"folder", temp.mkdir(QStringLiteral("folder.") + m.extension)},
                {"device", QStringLiteral("/dev/null")}};
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.what);
    EXPECT_EQ(module.checkArchive(input.path.toStdString()), 0);
    ModuleBench bench(module);
    // ISH32.DLL also in the form the program sends it: no quotes, " /F=".
    const int32_t rc = m.unknownOption[0] == '/' ? module.command(std::string(m.options) + " " +
                                                                      input.path.toStdString() + " /F=" +
                                                                      bench.out().toStdString() + "/")
                                                 : bench.extract(m.options, input.path);
    EXPECT_GE(rc, rkarc::kFirstFailure) << bench.report();
    EXPECT_TRUE(Tree(bench.out()).isEmpty());
    EXPECT_TRUE(bench.outside().isEmpty());
  }
}

// The program hands paths over as their bytes on disk, which need not be
// UTF-8: an archive and an output folder named in CP932, or with a byte that
// is neither, are read and written as named.
TEST_P(ModuleContract, PathsAreTheBytesOfTheirNames) {
  const ModuleRow& m = GetParam();
  for (const std::string folder : {"\x83\x74\x83\x48\x83\x8B\x83\x5F", "a\xFF"}) {
    SCOPED_TRACE(folder);
    const TempFolder at;
    const std::string dir = at.path().toStdString() + '/' + folder;
    const std::string arc = dir + "/\x93\xFA\x96\x7B." + m.extension, out = dir + '/' + folder + '/';
    std::filesystem::create_directories(out);
    std::filesystem::copy_file(archive.toStdString(), arc);
    EXPECT_EQ(module.checkArchive(arc), 1);
    const std::string command = m.unknownOption[0] == '/' ? std::string(m.options) + ' ' + arc + " /F=" + out
                                                          : std::string(m.options) + " \"" + arc + "\" \"" + out + '"';
    std::string report;
    EXPECT_EQ(module.command(command, &report), rkarc::kOk) << report;
    for (const char* member : {"README.TXT", "DATA.BIN"}) EXPECT_TRUE(std::filesystem::is_regular_file(out + member));
  }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleContract,
                         testing::Values(
                             ModuleRow{"UNLHA32.DLL", "Unlha", "lzh", "x -+", "-q", "x -+ -o", "e", true, true, Lzh},
                             ModuleRow{"UNZIP32.DLL", "UnZip", "zip", "-x", "-q", "-xo", "-j", true, true, Zip},
                             ModuleRow{"UNARJ32J.DLL", "Unarj", "arj", "x -+", "-q", "x -O", "e -+", true, true,
                                       Arj},
                             ModuleRow{"ISH32.DLL", "Ish", "ish", "/m", "/q", "/MO", nullptr, false, true, Ish},
                             ModuleRow{"CAB32.DLL", "Cab", "cab", "-x -n", "-q", "-x -n -o", "-E", true, true, Cab},
                             ModuleRow{"TAR32.DLL", "Tar", "tar", "-xfo", "-q", "-xfo --overwrite", nullptr, true, false, Tar},
                             ModuleRow{"UNRAR32.DLL", "Unrar", "rar", "-x -u", "-q", "-x -o+", "-e", true, true,
                                       Rar},
                             ModuleRow{"SEVENZIP32.DLL", "SevenZip", "7z", "x", "-q", "x -aoa", "e", true, true,
                                       SevenZip}),
                         [](const testing::TestParamInfo<ModuleRow>& info) { return std::string(info.param.prefix); });

// A refused member (a link out of the output folder) changes nothing for the
// others: empty folders stay, and a read-only folder gets its mode once filled.
TEST(ModuleFolders, ARefusedMemberLeavesTheFoldersAndReadOnlyFoldersKeepTheirMode) {
  const struct {
    const char* file;
    const char* prefix;
    const char* options;
    const char* program;
    QStringList arguments;
  } rows[] = {{"UNZIP32.DLL", "UnZip", "-x", "zip", {"-q", "-r", "-y", "@.zip", "."}},
              {"TAR32.DLL", "Tar", "-xfo", "tar", {"-cf", "@.tar", "."}},
              {"SEVENZIP32.DLL", "SevenZip", "x", "7zz", {"a", "-bso0", "-bsp0", "-snl", "@.7z", "."}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    TempFolder temp;
    temp.mkdir("src/empty1");
    temp.mkdir("src/empty2");
    temp.write("src/ro/f.txt", "inside");
    ASSERT_EQ(chmod(temp.file("src/ro").toUtf8().constData(), 0555), 0);
    ASSERT_EQ(symlink("../../outside", temp.file("src/up").toUtf8().constData()), 0);
    QStringList arguments = row.arguments;
    arguments.replaceInStrings("@", temp.file("a"));
    ASSERT_EQ(testing_support::Run(row.program, arguments, temp.file("src")), 0);
    const TestModule module(row.file, row.prefix);
    ModuleBench bench(module);
    const QString archive = temp.file("a." + arguments.filter(temp.file("a")).value(0).section('.', -1));
    EXPECT_EQ(bench.extract(row.options, archive), rkarc::kErrUnsafeType) << bench.report();
    EXPECT_EQ(Tree(bench.out()), (QStringList{"empty1/", "empty2/", "ro/", "ro/f.txt"}));
    struct stat st {};
    EXPECT_EQ(stat((bench.out() + "/ro").toUtf8().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0555u & ~testing_support::CurrentUmask());
    chmod((bench.out() + "/ro").toUtf8().constData(), 0755);
    chmod(temp.file("src/ro").toUtf8().constData(), 0755);
  }
}

// BZ2LIB.DLL runs no commands: it only tells its version, as the others do.
TEST(ModuleEntryPoints, EveryModuleTellsItsVersionAndIsIdle) {
  for (const auto& [file, prefix] : {std::pair{"UNLHA32.DLL", "Unlha"}, {"UNZIP32.DLL", "UnZip"},
                                     {"UNARJ32J.DLL", "Unarj"}, {"ISH32.DLL", "Ish"}, {"CAB32.DLL", "Cab"},
                                     {"TAR32.DLL", "Tar"}, {"UNRAR32.DLL", "Unrar"}, {"SEVENZIP32.DLL", "SevenZip"},
                                     {"BZ2LIB.DLL", "BZ2"}}) {
    SCOPED_TRACE(file);
    const TestModule module(file, prefix);
    ASSERT_TRUE(module.loaded()) << module.error();
    EXPECT_EQ(module.version(), 100);
    if (std::string(prefix) != "BZ2") {
      EXPECT_EQ(module.running(), 0);
    }
  }
}

}  // namespace
