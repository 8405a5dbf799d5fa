// The safe writer on its own, without a module: hostile names, links, modes,
// existing files, and members that end half-way.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

#include "archivers/common/LeftoverMark.h"
#include "archivers/common/NewFile.h"
#include "archivers/common/SafeWriter.h"
#include "tests/archivers/SafeWriterTestUtil.h"

namespace {

using rkarc::MemberType;
using rkarc::NameCharset;
using rkarc::SafeWriter;
using testing_support::IsSymlink;
using testing_support::ReadText;
using testing_support::WriterBench;

struct NameRow {
  const char* row;
  std::string bytes;
  NameCharset charset;
  std::string expected;  // empty: refused
};

class SafeRelativePath : public testing::TestWithParam<NameRow> {};

TEST_P(SafeRelativePath, DecodesAndConfinesTheName) {
  EXPECT_EQ(SafeWriter::SafeRelativePath(GetParam().bytes, GetParam().charset), GetParam().expected);
}

const std::string k255(255, 'a');

INSTANTIATE_TEST_SUITE_P(
    Names, SafeRelativePath,
    testing::Values(
        NameRow{"Plain", "a/b.txt", NameCharset::Auto, "a/b.txt"},
        NameRow{"BackslashSeparators", "a\\b\\c.txt", NameCharset::Auto, "a/b/c.txt"},
        NameRow{"AbsoluteBecomesRelative", "/etc/passwd", NameCharset::Auto, "etc/passwd"},
        NameRow{"DriveAndRoot", "C:\\Windows\\x.ini", NameCharset::Auto, "Windows/x.ini"},
        NameRow{"DriveRelative", "c:x.txt", NameCharset::Auto, "x.txt"},
        NameRow{"UncPath", "\\\\server\\share\\f", NameCharset::Auto, "server/share/f"},
        NameRow{"DotAndEmptyComponentsDropped", "./a//./b/", NameCharset::Auto, "a/b"},
        NameRow{"ThreeDotsIsAName", "a/.../b", NameCharset::Auto, "a/.../b"},
        NameRow{"DotDotRefused", "../x", NameCharset::Auto, ""},
        NameRow{"InnerDotDotRefused", "a/b/../../x", NameCharset::Auto, ""},
        NameRow{"BackslashDotDotRefused", "a\\..\\..\\x", NameCharset::Auto, ""},
        NameRow{"DriveThenDotDotRefused", "C:..\\x", NameCharset::Auto, ""},
        NameRow{"OnlySeparatorsRefused", "//\\", NameCharset::Auto, ""},
        NameRow{"OnlyDriveRefused", "C:", NameCharset::Auto, ""},
        NameRow{"EmptyRefused", "", NameCharset::Auto, ""},
        NameRow{"ControlCharacters", "a\nb\x1b[31m\x7f.txt", NameCharset::Auto, "a_b_[31m_.txt"},
        NameRow{"C1ControlInUtf8", "x\xC2\x85y\xC2\xA0z", NameCharset::Auto, "x_y\xC2\xA0z"},
        NameRow{"NulByte", std::string("a\0b", 3), NameCharset::Auto, "a_b"},
        NameRow{"Cp932TrailBackslashStaysInCharacter", "\x94\x5C\x97\xCD\x95\x5C.txt", NameCharset::Auto,
                "能力表.txt"},
        NameRow{"Cp932WithBackslashSeparator", "\x93\xFA\x96\x7B\x8C\xEA\\\x94\x5C.txt", NameCharset::Cp932,
                "日本語/能.txt"},
        NameRow{"Utf8DeclaredButInvalidFallsBackToCp932", "\x83\x5C\x83\x74\x83\x67", NameCharset::Utf8,
                "ソフト"},
        NameRow{"Utf8Kept", "日本語/ファイル.txt", NameCharset::Utf8, "日本語/ファイル.txt"},
        NameRow{"Component255BytesAccepted", k255, NameCharset::Auto, k255},
        NameRow{"Component256BytesRefused", k255 + "b", NameCharset::Auto, ""}),
    [](const testing::TestParamInfo<NameRow>& info) { return std::string(info.param.row); });

TEST(SafeWriter, RefusesEscapingNamesAndReportsThemPrintably) {
  WriterBench bench;
  EXPECT_FALSE(bench.file("../escaped.txt", "x"));
  EXPECT_FALSE(bench.file("sub\\..\\..\\escaped.txt", "x"));
  EXPECT_FALSE(bench.file("a/\x1b]0;title\x07/../../escaped.txt", "x"));
  EXPECT_TRUE(bench.file("/abs/inside.txt", "in"));
  EXPECT_TRUE(bench.file("D:\\dos\\inside.txt", "in"));
  EXPECT_EQ(ReadText(bench.outFile("abs/inside.txt")), "in");
  EXPECT_EQ(ReadText(bench.outFile("dos/inside.txt")), "in");
  EXPECT_TRUE(bench.outside().isEmpty()) << bench.outside().join(", ").toStdString();
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeName);
  EXPECT_NE(bench.report().find("../escaped.txt"), std::string::npos);
  for (char c : bench.report()) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << bench.report();
}

TEST(SafeWriter, RefusesOverlongPaths) {
  WriterBench bench;
  std::string deep;
  while (bench.out().size() + deep.size() < 4100) deep += std::string(200, 'd') + "/";
  EXPECT_FALSE(bench.file(deep + "f.txt", "x"));
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeName);
  EXPECT_TRUE(testing_support::Tree(bench.tmp().file("out")).isEmpty());
}

TEST(SafeWriter, WritesCp932NamedFileWithItsContent) {
  WriterBench bench;
  ASSERT_TRUE(bench.file("\x93\xFA\x96\x7B\x8C\xEA\\\x94\x5C\x97\xCD.txt", "data", 0644, NameCharset::Cp932));
  EXPECT_EQ(ReadText(bench.outFile("日本語/能力.txt")), "data");
  EXPECT_EQ(bench.writer().result(), 0);
}

TEST(SafeWriter, AppliesStoredModeWithoutSpecialBitsAndTheTime) {
  const mode_t mask = testing_support::CurrentUmask();
  const struct {
    const char* name;
    uint32_t stored;
    mode_t expected;
  } rows[] = {
      {"plain", 0640, 0640},       {"none-stored", 0, 0666},      {"setuid", 04755, 0755},
      {"setgid-sticky", 03775, 0775}, {"read-only", 0444, 0444},
  };
  WriterBench bench;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    rkarc::Member m;
    m.name = row.name;
    m.mode = row.stored;
    m.mtime = 1000000000;
    auto sink = bench.writer().begin(m);
    ASSERT_TRUE(sink);
    ASSERT_TRUE(sink->write("abc", 3));
    ASSERT_TRUE(sink->commit());
    struct stat st {};
    ASSERT_EQ(stat(bench.outFile(row.name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, row.expected & ~mask);
    EXPECT_EQ(st.st_mtime, 1000000000);
    EXPECT_EQ(st.st_size, 3);
  }
}

TEST(SafeWriter, FolderMemberWithoutOwnerAccessStillTakesItsFiles) {
  WriterBench bench;
  bench.entry("locked", MemberType::Directory, {}, 0555);
  EXPECT_TRUE(bench.file("locked/inner.txt", "x"));
  struct stat st {};
  ASSERT_EQ(stat(bench.outFile("locked").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0700, 0700u);
  EXPECT_EQ(bench.writer().result(), 0);
}

struct LinkRow {
  const char* row;
  std::string name;
  std::string target;
  bool made;
};

class SymlinkTargets : public testing::TestWithParam<LinkRow> {};

TEST_P(SymlinkTargets, OnlyTargetsThatStayInside) {
  WriterBench bench;
  bench.entry(GetParam().name, MemberType::Symlink, GetParam().target);
  EXPECT_EQ(IsSymlink(bench.outFile(rkarc::SafeWriter::SafeRelativePath(GetParam().name, NameCharset::Auto))),
            GetParam().made);
  EXPECT_EQ(bench.writer().result(), GetParam().made ? 0 : rkarc::kErrUnsafeType) << bench.report();
  EXPECT_TRUE(bench.outside().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Links, SymlinkTargets,
    testing::Values(LinkRow{"Sibling", "link", "file.txt", true},
                    LinkRow{"UpFromSubfolder", "a/b/link", "../../file.txt", true},
                    LinkRow{"BackslashTarget", "a/link", "..\\x\\file.txt", true},
                    LinkRow{"OwnFolder", "a/link", ".", true},
                    LinkRow{"ParentOfOutput", "link", "..", false},
                    LinkRow{"ClimbsOut", "a/link", "../../sentinel.txt", false},
                    LinkRow{"Absolute", "link", "/etc/passwd", false},
                    LinkRow{"Drive", "link", "C:\\x", false},
                    LinkRow{"Empty", "link", "", false},
                    LinkRow{"DotDotAfterAName", "link", "d/../x", false}),
    [](const testing::TestParamInfo<LinkRow>& info) { return std::string(info.param.row); });

TEST(SafeWriter, NeverWritesThroughALinkEvenOneItMade) {
  WriterBench bench;
  bench.tmp().mkdir("elsewhere");
  ASSERT_EQ(symlink("../elsewhere", bench.outFile("pre").c_str()), 0);
  bench.entry("sub", MemberType::Directory);
  bench.entry("made", MemberType::Symlink, "sub");
  ASSERT_TRUE(IsSymlink(bench.outFile("made")));

  EXPECT_FALSE(bench.file("made/x.txt", "x"));
  EXPECT_FALSE(bench.file("pre/x.txt", "x"));
  bench.entry("pre/sub", MemberType::Directory);
  EXPECT_FALSE(QFileInfo::exists(bench.tmp().file("out/sub/x.txt")));
  EXPECT_TRUE(testing_support::Tree(bench.tmp().file("elsewhere")).isEmpty());
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeName);
}

TEST(SafeWriter, ExistingLinkAtAFileNameIsKeptOrReplacedButNeverFollowed) {
  WriterBench bench;
  bench.tmp().write("target.txt", "outside");
  ASSERT_EQ(symlink("../target.txt", bench.outFile("name.txt").c_str()), 0);
  EXPECT_FALSE(bench.file("name.txt", "inside"));
  EXPECT_EQ(bench.writer().result(), 1);

  WriterBench overwriting;
  overwriting.tmp().write("target.txt", "outside");
  ASSERT_EQ(symlink("../target.txt", overwriting.outFile("name.txt").c_str()), 0);
  overwriting.writer({.overwrite = true, .flatten = false});
  EXPECT_TRUE(overwriting.file("name.txt", "inside"));
  EXPECT_FALSE(IsSymlink(overwriting.outFile("name.txt")));
  EXPECT_EQ(ReadText(overwriting.outFile("name.txt")), "inside");
  EXPECT_EQ(ReadText(overwriting.tmp().file("target.txt").toStdString()), "outside");
}

TEST(SafeWriter, HardLinksOnlyToFilesThisExtractionMade) {
  WriterBench bench;
  bench.tmp().write("out/old.txt", "old");
  ASSERT_TRUE(bench.file("dir/made.txt", "made"));
  bench.entry("madelink", MemberType::Symlink, "dir/made.txt");

  bench.entry("copy.txt", MemberType::Hardlink, "dir\\made.txt");
  struct stat a {}, b {};
  ASSERT_EQ(stat(bench.outFile("dir/made.txt").c_str(), &a), 0);
  ASSERT_EQ(stat(bench.outFile("copy.txt").c_str(), &b), 0);
  EXPECT_EQ(a.st_ino, b.st_ino);
  bench.entry("copy.txt", MemberType::Hardlink, "copy.txt");  // onto itself: harmless
  EXPECT_EQ(bench.writer().result(), 0) << bench.report();

  const char* refused[][2] = {{"l1", "old.txt"}, {"l2", "../sentinel.txt"}, {"l3", "madelink"},
                              {"l4", "missing.txt"}, {"l5", "/etc/passwd"}};
  for (const auto& row : refused) {
    SCOPED_TRACE(row[1]);
    bench.entry(row[0], MemberType::Hardlink, row[1]);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(bench.outFile(row[0]))));
  }
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeType);
  EXPECT_TRUE(bench.outside().isEmpty());
  EXPECT_EQ(testing_support::Tree(bench.tmp().file("out")).filter(".rukasu2").size(), 0);
}

TEST(SafeWriter, DevicesFifosAndSocketsAreNeverCreated) {
  WriterBench bench;
  bench.entry("dev/null", MemberType::Other);
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeType);
  EXPECT_TRUE(testing_support::Tree(bench.tmp().file("out")).isEmpty());
  EXPECT_NE(bench.report().find("dev/null"), std::string::npos);
}

TEST(SafeWriter, ExistingFilesAreKeptAndCountedUnlessOverwriting) {
  WriterBench keeping;
  keeping.tmp().write("out/a.txt", "old a");
  keeping.tmp().write("out/sub/b.txt", "old b");
  EXPECT_FALSE(keeping.file("a.txt", "new"));
  EXPECT_FALSE(keeping.file("sub/b.txt", "new"));
  EXPECT_TRUE(keeping.file("sub/c.txt", "new"));  // an existing folder is used
  EXPECT_EQ(ReadText(keeping.outFile("a.txt")), "old a");
  EXPECT_EQ(ReadText(keeping.outFile("sub/b.txt")), "old b");
  EXPECT_EQ(keeping.writer().result(), 2);

  WriterBench overwriting;
  overwriting.tmp().write("out/a.txt", "old a");
  overwriting.writer({.overwrite = true, .flatten = false});
  EXPECT_TRUE(overwriting.file("a.txt", "new"));
  EXPECT_EQ(ReadText(overwriting.outFile("a.txt")), "new");
  EXPECT_EQ(overwriting.writer().result(), 0);
}

// A killed extraction leaves its temporary file; the next one writing into
// that folder removes it, but never one that a live extraction holds, nor
// anything merely named like ours, nor in a folder it does not write to.
TEST(SafeWriter, StaleTemporaryFilesOfOursGoFromTheFoldersItWrites) {
  WriterBench bench;
  const QString sub = bench.tmp().mkdir("out/sub");
  const pid_t killed = fork();  // makes its file as an extraction does, and dies
  if (killed == 0) {
    const int folder = open(sub.toUtf8().constData(), O_RDONLY | O_DIRECTORY);
    bool unnamed = false;
    int err = 0;
    _exit(rkarc::NewFile::Create(folder, 0644, true, unnamed, err).valid() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(killed, &status, 0), killed);
  const QStringList stale = QDir(sub).entryList(QDir::Files | QDir::Hidden);
  ASSERT_EQ(stale.size(), 1);
  const QString live = bench.tmp().write("out/sub/.rukasu2-fedcba9876543210.part", "in use");
  const QString likeOurs = bench.tmp().write("out/sub/.rukasu2-0123456789abcdef.part", "the user's");
  const QString elsewhere = bench.tmp().write("out/other/.rukasu2-00000000000000ff.part", "not written here");
  const int holder = open(live.toStdString().c_str(), O_RDWR | O_CLOEXEC);
  rkarc::MarkTemporary(holder);
  ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(bench.file("sub/new.txt", "new"));
  close(holder);
  EXPECT_FALSE(QFileInfo::exists(sub + "/" + stale[0]));
  for (const QString& kept : {live, likeOurs, elsewhere}) EXPECT_TRUE(QFileInfo::exists(kept)) << kept.toStdString();
}

// A name that comes again replaces what it wrote, as in tar; names that
// differ but meet on disk (a control character and '_', folders dropped)
// never replace each other: the later takes a free numbered name, shown in
// the report, and a hard link follows its target there.
TEST(SafeWriter, DuplicateNamesReplaceAndNamesThatMeetOnDiskAreNumbered) {
  const struct {
    const char* row;
    std::vector<std::pair<std::string, std::string>> members;  // name, content
    QStringList expected;                                       // path=content
    bool flatten = false;
  } rows[] = {
      {"same name", {{"dup.txt", "1"}, {"./dup.txt", "2"}}, {"dup.txt=2"}},
      {"control character, numbered name taken",
       {{"t\tb", "1"}, {"t_b (2)", "2"}, {"t_b", "3"}, {"t\x01" "b", "4"}, {"t_b", "5"}},
       {"t_b=1", "t_b (2)=2", "t_b (3)=5", "t_b (4)=4"}},
      {"folders dropped", {{"a/x", "1"}, {"b/x", "2"}}, {"x=1", "x (2)=2"}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    WriterBench bench;
    bench.writer({.overwrite = false, .flatten = row.flatten});
    for (const auto& [name, content] : row.members) EXPECT_TRUE(bench.file(name, content));
    QStringList found;
    for (const QString& path : testing_support::Tree(bench.tmp().file("out")))
      found << path + "=" + QString::fromStdString(ReadText(bench.outFile(path.toStdString())));
    EXPECT_EQ(found, row.expected);
    EXPECT_EQ(bench.report().find("として書き出しました") != std::string::npos, row.expected.size() > 1);
  }
  WriterBench links;
  EXPECT_TRUE(links.file("h\x01", "1") && links.file("h_", "2"));
  links.entry("link", MemberType::Hardlink, "h_");
  EXPECT_EQ(ReadText(links.outFile("link")), "2");
}

TEST(SafeWriter, FilesAndFoldersInEachOthersPlaceAreRefused) {
  WriterBench bench;
  bench.tmp().write("out/plain", "file");
  bench.tmp().mkdir("out/folder");
  EXPECT_FALSE(bench.file("plain/inner.txt", "x"));
  bench.entry("plain", MemberType::Directory);
  EXPECT_FALSE(bench.file("folder", "x"));
  EXPECT_EQ(bench.writer().result(), rkarc::kErrWrite);
  EXPECT_EQ(ReadText(bench.outFile("plain")), "file");
  EXPECT_TRUE(QFileInfo(bench.tmp().file("out/folder")).isDir());
}

TEST(SafeWriter, FolderEntryForTheOutputFolderItselfIsFine) {
  WriterBench bench;
  bench.entry("./", MemberType::Directory);
  bench.entry("/", MemberType::Directory);
  EXPECT_EQ(bench.writer().result(), 0) << bench.report();
  EXPECT_FALSE(bench.file("./", "x"));
  EXPECT_EQ(bench.writer().result(), rkarc::kErrUnsafeName);
}

TEST(SafeWriter, FlattenDropsFolders) {
  WriterBench bench;
  bench.writer({.overwrite = false, .flatten = true});
  bench.entry("a/b", MemberType::Directory);
  EXPECT_TRUE(bench.file("a/b/c.txt", "c"));
  EXPECT_EQ(testing_support::Tree(bench.tmp().file("out")), QStringList{"c.txt"});
}

TEST(SafeWriter, UnfinishedMembersLeaveNothing) {
  WriterBench bench;
  auto sink = bench.writing("aborted.bin", "partial");
  ASSERT_TRUE(sink);
  sink->abort(rkarc::kErrChecksum, "CRCが一致しません");
  EXPECT_FALSE(sink->commit());
  bench.writing("dropped.bin", "partial");  // neither committed nor aborted
  EXPECT_TRUE(testing_support::Tree(bench.tmp().file("out")).isEmpty());
  EXPECT_EQ(bench.writer().result(), rkarc::kErrChecksum);
  EXPECT_NE(bench.report().find("aborted.bin: CRCが一致しません"), std::string::npos);
  EXPECT_NE(bench.report().find("dropped.bin"), std::string::npos);
}

// A file being written has no name in the folder: a run killed midway
// leaves nothing behind. A file another program put under the member's name
// meanwhile is kept and counted.
TEST(SafeWriter, AFileTakesItsNameOnlyWhenWholeAndNeverTakesAnotherOne) {
  WriterBench bench;
  auto sink = bench.writing("sub/new.txt", "ours");
  ASSERT_TRUE(sink);
  // Where the file system has no unnamed files (overlayfs before Linux 6.6,
  // NFS) a temporary name shows instead.
  const int probe = ::open(bench.out().c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600);
  if (probe >= 0) {
    ::close(probe);
    EXPECT_EQ(testing_support::Tree(bench.tmp().file("out")), QStringList{"sub/"});
  }
  auto raced = bench.writing("sub/race.txt", "ours");
  ASSERT_TRUE(raced);
  bench.tmp().write("out/sub/race.txt", "theirs");
  EXPECT_TRUE(sink->commit());
  EXPECT_FALSE(raced->commit());
  EXPECT_EQ(testing_support::Tree(bench.tmp().file("out")), (QStringList{"sub/", "sub/new.txt", "sub/race.txt"}));
  EXPECT_EQ(ReadText(bench.outFile("sub/new.txt")), "ours");
  EXPECT_EQ(ReadText(bench.outFile("sub/race.txt")), "theirs");
  EXPECT_EQ(bench.writer().result(), 1);
}

TEST(SafeWriter, SinkOutlivingItsWriterIsHarmless) {
  testing_support::TempFolder tmp;
  char buffer[256];
  rkarc::Report report(buffer, sizeof buffer);
  std::unique_ptr<rkarc::MemberSink> sink;
  {
    SafeWriter writer(tmp.path().toStdString(), {}, report);
    rkarc::Member m;
    m.name = "late.txt";
    sink = writer.begin(m);
    ASSERT_TRUE(sink);
  }
  EXPECT_FALSE(sink->write("x", 1));
  EXPECT_FALSE(sink->commit());
  EXPECT_TRUE(testing_support::Tree(tmp.path()).isEmpty());
}

TEST(SafeWriter, MissingOutputFolderIsReported) {
  testing_support::TempFolder tmp;
  char buffer[256];
  rkarc::Report report(buffer, sizeof buffer);
  SafeWriter writer(tmp.file("missing").toStdString(), {}, report);
  EXPECT_FALSE(writer.ready());
  rkarc::Member m;
  m.name = "a.txt";
  EXPECT_EQ(writer.begin(m), nullptr);
  EXPECT_EQ(writer.result(), rkarc::kErrOutputFolder);
}

}  // namespace
