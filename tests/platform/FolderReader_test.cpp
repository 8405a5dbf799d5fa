// Reading a folder for the lists, the lists' wildcard patterns, and the drives
// as mount points.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/FileNamePattern.h"
#include "platform/FolderReader.h"
#include "platform/MountedDrives.h"
#include "tests/support/MountNamespace.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempFolder;

TEST(FolderReader, ListsEachKindInNameOrderWithoutHiddenNames) {
  TempFolder tmp;
  for (const char* name : {"b.lzh", "A.zip", "a.LZH", ".hidden.lzh", "c.txt"}) tmp.write(name, "x");
  for (const char* name : {"Sub2", "sub1", ".git", "\xE6\x97\xA5\xE6\x9C\xAC"}) tmp.mkdir(name);
  ASSERT_EQ(::symlink("sub1", tmp.file("linked").toUtf8().constData()), 0);
  ASSERT_EQ(::symlink("c.txt", tmp.file("c-link.txt").toUtf8().constData()), 0);
  ASSERT_EQ(::symlink("missing", tmp.file("dangling").toUtf8().constData()), 0);
  ASSERT_EQ(::mkfifo(tmp.file("pipe.lzh").toUtf8().constData(), 0600), 0);

  const auto folders = ReadFolderEntries(tmp.path(), FolderEntryKind::Folders);
  ASSERT_TRUE(folders);
  EXPECT_EQ(*folders, QStringList({"linked", "sub1", "Sub2", QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC")}));

  const auto files = ReadFolderEntries(tmp.path(), FolderEntryKind::Files);
  ASSERT_TRUE(files);  // no FIFO, no dangling link, no folder
  EXPECT_EQ(*files, QStringList({"a.LZH", "A.zip", "b.lzh", "c-link.txt", "c.txt"}));

  const auto accepted =
      ReadFolderEntries(tmp.path(), FolderEntryKind::Files, [](const QString& name) { return name.startsWith('c'); });
  EXPECT_EQ(*accepted, QStringList({"c-link.txt", "c.txt"}));
}

TEST(FolderReader, FolderThatCannotBeReadGivesNothing) {
  TempFolder tmp;
  const QString file = tmp.write("plain.lzh", "x");
  EXPECT_FALSE(ReadFolderEntries(tmp.file("missing"), FolderEntryKind::Files));
  EXPECT_FALSE(ReadFolderEntries(file, FolderEntryKind::Folders));
  EXPECT_FALSE(ReadFolderEntries("", FolderEntryKind::Files));
}

TEST(FolderReader, NamesEqualButForCaseKeepAFixedOrder) {
  QStringList names{"b", "B", "a", "A", "ab"};
  SortNames(names);
  EXPECT_EQ(names, QStringList({"A", "a", "ab", "B", "b"}));
}

struct PatternRow {
  const char* name;
  const char* pattern;
  const char* file;
  bool matches;
};

class FileNamePatternRows : public testing::TestWithParam<PatternRow> {};

TEST_P(FileNamePatternRows, Matches) {
  const PatternRow& row = GetParam();
  EXPECT_EQ(FileNamePattern(QString::fromUtf8(row.pattern)).matches(QString::fromUtf8(row.file)), row.matches);
}

const PatternRow kPatternRows[] = {
    {"LetterCaseIgnored", "*.LZH", "data.lzh", true},
    {"SecondOfTheList", "*.LZH;*.ZIP", "Data.Zip", true},
    {"NoneOfTheList", "*.LZH;*.ZIP", "data.arj", false},
    {"WholeNameOnly", "*.GZ", "x.gz.txt", false},
    {"TarGzByGz", "*.GZ", "x.tar.gz", true},
    {"StarMatchesEmpty", "*.Z", ".Z", true},
    {"QuestionIsOneCharacter", "?.X", "ab.X", false},
    {"QuestionMatches", "?.X", "a.x", true},
    {"StarsBacktrack", "*a*b*.lzh", "xaxxbxa.lzh", true},
    {"BlanksAroundParts", " *.LZH ; *.ZIP ", "a.zip", true},
    {"NoArchiveKind", "abcdzyxw.___", "archive.lzh", false},
    {"EmptyPatternListsAll", "", "anything", true},
    {"JapaneseName", "*.LZH", "\xE6\x97\xA5\xE6\x9C\xAC.lzh", true},
};

INSTANTIATE_TEST_SUITE_P(Rows, FileNamePatternRows, testing::ValuesIn(kPatternRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct DriveRow {
  const char* name;
  const char* path;
  const char* drive;
};

class DriveOfRows : public testing::TestWithParam<DriveRow> {};

TEST_P(DriveOfRows, FindsTheMountPointThatHoldsThePath) {
  const QStringList drives{"/", "/mnt/usb", "/mnt/usb/inner", "/home"};
  EXPECT_EQ(DriveOf(GetParam().path, drives), GetParam().drive);
}

const DriveRow kDriveRows[] = {
    {"Root", "/", "/"},
    {"OnTheRoot", "/usr/share", "/"},
    {"MountPointItself", "/mnt/usb", "/mnt/usb"},
    {"BelowAMountPoint", "/mnt/usb/photos", "/mnt/usb"},
    {"NestedMountPoint", "/mnt/usb/inner/x", "/mnt/usb/inner"},
    {"SamePrefixOtherName", "/mnt/usbstick/x", "/"},
    {"HomeFolder", "/home/user", "/home"},
    {"RelativePath", "home/user", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, DriveOfRows, testing::ValuesIn(kDriveRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MountedDrives, RootComesFirstAndEveryDriveIsAFolder) {
  const QStringList drives = MountedDrives();
  ASSERT_FALSE(drives.isEmpty());
  EXPECT_EQ(drives.first(), "/");
  for (const QString& drive : drives) EXPECT_TRUE(QFileInfo(drive).isDir()) << drive.toStdString();
  EXPECT_EQ(drives.count("/"), 1);
}

// A file system mounted in a private namespace shows as a drive that holds
// the paths below it; the kernel's own file systems do not.
TEST(MountedDrives, AMountedFileSystemIsADrive) {
  const QString mount = "/tmp/rukasu2-drive-test";
  if (!testing_support::InMountNamespace()) {
    QDir().mkpath(mount);
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=1m tmpfs " + mount + " && mkdir -p " + mount +
                                             "/proc && mount -t proc proc " + mount + "/proc");
    return;
  }
  const QStringList drives = MountedDrives();
  EXPECT_TRUE(drives.contains(mount));
  EXPECT_FALSE(drives.contains(mount + "/proc"));
  EXPECT_EQ(DriveOf(mount + "/a/b", drives), mount);
}

}  // namespace
