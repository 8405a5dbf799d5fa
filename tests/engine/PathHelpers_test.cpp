// The path and name helpers: names and extensions, display shortening, the
// on-disk spelling of real folder trees, file and folder checks, free space.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "engine/PathHelpers.h"
#include "tests/support/MountNamespace.h"
#include "tests/support/TestSupport.h"

using testing_support::TempFolder;

namespace {

struct NameCase {
  const char* label;
  const char* path;
  bool tar;
  bool doubleExt;
  const char* baseName;
  const char* extension;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class NamesAndExtensions : public testing::TestWithParam<NameCase> {};

TEST_P(NamesAndExtensions, BaseNameAndExtension) {
  const NameCase& c = GetParam();
  EXPECT_EQ(BaseName_Get(QString::fromUtf8(c.path), c.tar, c.doubleExt), QString::fromUtf8(c.baseName));
  EXPECT_EQ(Exp_Get(QString::fromUtf8(c.path), c.tar, c.doubleExt), QString::fromUtf8(c.extension));
}

INSTANTIATE_TEST_SUITE_P(
    PathHelpers, NamesAndExtensions,
    testing::Values(
        NameCase{"TarGzWithTar", "/d/x.tar.gz", true, false, "x", ".tar.gz"},
        NameCase{"TarGzWithoutTar", "/d/x.tar.gz", false, false, "x.tar", ".gz"},
        NameCase{"TarZUpperCase", "/D/ABC.TAR.Z", true, false, "ABC", ".TAR.Z"},
        NameCase{"TarBz2", "/d/data.tar.bz2", true, true, "data", ".tar.bz2"},
        // The base name counts positions in the file name, the extension in the whole path.
        NameCase{"DotInPositionFive", "/d/.tar.gz", true, false, ".tar", ".tar.gz"},
        NameCase{"NoDot", "/d/README", true, false, "README", ""},
        NameCase{"DoubleWithFlag", "/d/x.lzh.zip", true, true, "x", ".lzh.zip"},
        NameCase{"DoubleWithoutFlag", "/d/x.lzh.zip", true, false, "x.lzh", ".zip"},
        NameCase{"ZipZipMixedCase", "/d/Pack.Zip.zIp", false, true, "Pack", ".Zip.zIp"},
        NameCase{"ShortName", "/a.lzh", true, true, "a", ".lzh"},
        NameCase{"DotInFolderOnly", "/A.B/FILE", true, true, "FILE", ""},
        NameCase{"TrailingSeparator", "/d/dir/", true, true, "", ""},
        NameCase{"JapaneseName", "/d/日本語データ.lzh", true, true, "日本語データ", ".lzh"},
        NameCase{"SingleGz", "/d/readme.txt.gz", true, true, "readme.txt", ".gz"},
        NameCase{"TarLzmaOfFiveLetters", "/d/x.tar.lzma", true, false, "x", ".tar.lzma"},
        NameCase{"TarXzInsideZip", "/d/x.Tar.Xz.zip", true, true, "x", ".Tar.Xz.zip"},
        NameCase{"TarXzInsideZipWithoutDouble", "/d/x.tar.xz.zip", true, false, "x.tar.xz", ".zip"},
        // An inner part of two letters, where a name of one letter still counts.
        NameCase{"SevenZipInsideZip", "/d/a.7z.zip", true, true, "a", ".7z.zip"},
        NameCase{"NothingLeftBeforeIt", "/d/.7z.zip", true, true, ".7z", ".7z.zip"},
        NameCase{"TarZstWithoutTar", "/d/x.tar.zst", false, true, "x.tar", ".zst"}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(PathHelpers, FileNameAndParentFolder) {
  EXPECT_EQ(FileName_Get("/DIR/A.LZH"), "A.LZH");
  EXPECT_EQ(FileName_Get("/DIR/"), "");
  EXPECT_EQ(FileName_Get("A.LZH"), "");
  EXPECT_EQ(ParentDir_Get("/DIR/A.LZH"), "/DIR");
  EXPECT_EQ(ParentDir_Get("/F.LZH"), "/");
  EXPECT_EQ(ParentDir_Get("F.LZH"), "");
}

TEST(PathHelpers, DigitCut) {
  EXPECT_EQ(DigitCut_Get("abc123"), "abc");
  EXPECT_EQ(DigitCut_Get("123abc"), "123abc");
  EXPECT_EQ(DigitCut_Get("abc"), "abc");
  EXPECT_EQ(DigitCut_Get("ab1c2"), "ab");
  EXPECT_EQ(DigitCut_Get(QString::fromUtf8("ゲーム１２3")), QString::fromUtf8("ゲーム１２"));  // full-width digits do not count
  EXPECT_EQ(DigitCut_Get(""), "");
}

TEST(PathHelpers, DisplayShortening) {
  EXPECT_EQ(DispPath_Get("/A/B/C/F.LZH"), "/A/.../C/F.LZH");
  EXPECT_EQ(DispPath_Get("/A/B/F.LZH"), "/A/B/F.LZH");  // exactly four pieces
  EXPECT_EQ(DispPath_Get("/home/user/down/loads/x/data.lzh"), "/home/.../x/data.lzh");
  EXPECT_EQ(DispPath_Get("/"), "/");
  EXPECT_EQ(DispPath_Get(""), "");
}

TEST(PathHelpers, UpperCaseKeepsFullWidthGreekAndCyrillicSmallLetters) {
  EXPECT_EQ(UCase_Get("Data.lzh"), "DATA.LZH");
  EXPECT_EQ(UCase_Get(QString::fromUtf8("ａｂｃ")), QString::fromUtf8("ａｂｃ"));
  EXPECT_EQ(UCase_Get(QString::fromUtf8("αω")), QString::fromUtf8("αω"));
  EXPECT_EQ(UCase_Get(QString::fromUtf8("жя")), QString::fromUtf8("жя"));
  EXPECT_EQ(UCase_Get(QString::fromUtf8("éàß日本")), QString::fromUtf8("ÉÀß日本"));  // ß has no one-to-one capital
  EXPECT_EQ(UCase_Get(QString::fromUtf8("𐐨x")), QString::fromUtf8("𐐀X"));          // outside the BMP
}

TEST(PathHelpers, LongPathGivesTheSpellingOnDisk) {
  TempFolder tmp;
  tmp.write("My Docs/Sub/A.lzh", "x");
  const QString base = tmp.path();
  EXPECT_EQ(LongPath_Get(base + "/My Docs/Sub/A.lzh"), base + "/My Docs/Sub/A.lzh");
  EXPECT_EQ(LongPath_Get(base + "//My Docs/./Sub/../Sub/A.lzh"), base + "/My Docs/Sub/A.lzh");
  EXPECT_EQ(LongPath_Get(base + "/My Docs/Sub/"), base + "/My Docs/Sub");
  EXPECT_EQ(LongPath_Get(base + "/my docs/Sub/A.lzh"), "");  // ext4 and tmpfs are case-sensitive
  EXPECT_EQ(LongPath_Get(base + "/My Docs/Missing/A.lzh"), "");
  EXPECT_EQ(LongPath_Get(base + "/My Docs/Sub/A.lzh/x"), "");
  EXPECT_EQ(LongPath_Get("relative/A.lzh"), "");
  EXPECT_EQ(LongPath_Get(""), "");
  EXPECT_EQ(LongPath_Get("/"), "/");
  EXPECT_EQ(LongPath_Get("/.."), "/");
}

TEST(PathHelpers, LongPathKeepsSymbolicLinksAsNamed) {
  TempFolder tmp;
  tmp.write("real/A.lzh", "x");
  ASSERT_EQ(::symlink((tmp.path() + "/real").toUtf8().constData(), (tmp.path() + "/link").toUtf8().constData()), 0);
  EXPECT_EQ(LongPath_Get(tmp.path() + "/link/A.lzh"), tmp.path() + "/link/A.lzh");
  EXPECT_EQ(LongPath_Get(tmp.path() + "/link"), tmp.path() + "/link");
}

// A case-insensitive file system answers for any spelling; the helper must
// return the stored one. Needs a casefold-capable tmpfs (Linux 6.13 with
// Unicode support); skipped where the kernel refuses it.
TEST(PathHelpers, LongPathOnCaseInsensitiveFileSystem) {
  const QString mount = "/tmp/rukasu2-casefold-test";
  if (!testing_support::InMountNamespace()) {
    QDir().mkpath(mount);
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o casefold tmpfs " + mount);
    return;
  }
  ASSERT_TRUE(QDir().mkpath(mount + "/MyDocs"));
  QFile f(mount + "/MyDocs/Arc.LZH");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_EQ(LongPath_Get(mount + "/mydocs/ARC.lzh"), mount + "/MyDocs/Arc.LZH");
}

TEST(PathHelpers, FileAndFolderChecks) {
  TempFolder tmp;
  const QString file = tmp.write("a.lzh", "x");
  tmp.mkdir("dir");
  EXPECT_TRUE(File_Check(file));
  EXPECT_FALSE(File_Check(tmp.path() + "/dir"));  // a folder is not a file
  EXPECT_FALSE(File_Check(tmp.path() + "/missing.lzh"));
  ASSERT_EQ(::mkfifo((tmp.path() + "/fifo").toUtf8().constData(), 0600), 0);
  EXPECT_FALSE(File_Check(tmp.path() + "/fifo"));  // and opening it does not hang

  const QString before = QDir::currentPath();
  EXPECT_TRUE(Dir_Check(tmp.path() + "/dir"));
  EXPECT_TRUE(Dir_Check(tmp.path() + "/dir/"));
  EXPECT_FALSE(Dir_Check(file));
  EXPECT_FALSE(Dir_Check(tmp.path() + "/missing"));
  EXPECT_FALSE(Dir_Check(""));
  EXPECT_EQ(QDir::currentPath(), before);
}

TEST(PathHelpers, FreeSpaceOfRealAndMissingPaths) {
  TempFolder tmp;
  const QString text = FreeSpace_Get(tmp.path());
  EXPECT_TRUE(text.startsWith(" (") && text.endsWith("M Free)")) << text.toStdString();
  EXPECT_EQ(FreeSpace_Get(tmp.path() + "/missing/folder"), "");
  EXPECT_EQ(FreeSpace_Get(""), "");
}

// The format is fixed whatever the locale: comma thousands separators, a point.
TEST(PathHelpers, FreeSpaceFormat) {
  const QString mount = "/tmp/rukasu2-freespace-test";
  if (!testing_support::InMountNamespace()) {
    QDir().mkpath(mount);
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=2000m tmpfs " + mount +
                                             " && mkdir " + mount + "/small && mount -t tmpfs -o size=1536k tmpfs " +
                                             mount + "/small");
    return;
  }
  EXPECT_EQ(FreeSpace_Get(mount), " (2,000.0M Free)");
  EXPECT_EQ(FreeSpace_Get(mount + "/small"), " (1.5M Free)");
}

TEST(PathHelpers, WellKnownFolders) {
  const QByteArray savedTmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", "/var/tmp");
  EXPECT_EQ(TempFolderPath(), "/var/tmp/");
  qunsetenv("TMPDIR");
  EXPECT_EQ(TempFolderPath(), "/tmp/");
  if (!savedTmp.isEmpty()) qputenv("TMPDIR", savedTmp);

  const QByteArray savedSys = qgetenv("RUKASU2_SYSTEM_DIR");
  qputenv("RUKASU2_SYSTEM_DIR", "/opt/modules");
  EXPECT_EQ(SystemFolderPath(), "/opt/modules");
  qunsetenv("RUKASU2_SYSTEM_DIR");
  EXPECT_FALSE(SystemFolderPath().isEmpty());
  if (!savedSys.isEmpty()) qputenv("RUKASU2_SYSTEM_DIR", savedSys);
}

// The module folder seen from the program's folder: the build tree and a
// portable copy keep "archivers" beside the program, an install keeps them in
// lib/rukasu2/archivers beside bin/, wherever the prefix is.
TEST(PathHelpers, SystemFolderFromTheProgramsFolder) {
  TempFolder prefix;
  prefix.mkdir("bin");
  prefix.mkdir("lib/rukasu2/archivers");
  EXPECT_EQ(SystemFolderPathFor(prefix.file("bin")), prefix.file("lib/rukasu2/archivers"));
  EXPECT_EQ(SystemFolderPathFor(prefix.file("bin/")), prefix.file("lib/rukasu2/archivers"));

  prefix.mkdir("bin/archivers");
  EXPECT_EQ(SystemFolderPathFor(prefix.file("bin")), prefix.file("bin/archivers")) << "beside the program comes first";

  TempFolder empty;
  const QString compiledIn = SystemFolderPathFor(empty.path());
  EXPECT_TRUE(compiledIn.endsWith("/rukasu2/archivers")) << compiledIn.toStdString();
  EXPECT_FALSE(compiledIn.startsWith(empty.path()));
  EXPECT_EQ(SystemFolderPathFor(QString()), compiledIn);
}

}  // namespace
