// Names that are not UTF-8, as real files in a temporary folder: listed with
// their bytes, found on disk again, shown decoded and marked, upper-cased and
// cut to a folder name byte for byte, and carried through a file URL.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "engine/PathHelpers.h"
#include "platform/FileName.h"
#include "platform/FolderReader.h"
#include "tests/support/TestSupport.h"

namespace {

struct NameRow {
  const char* label;
  QByteArray bytes;    // the name on disk
  const char* display;  // as the user sees it
  QByteArray upper;    // UCase_Get
  QByteArray base;     // BaseName_Get, the folder of the run modes
};

void PrintTo(const NameRow& row, std::ostream* out) { *out << row.label; }

class NonUtf8Name : public testing::TestWithParam<NameRow> {};

TEST_P(NonUtf8Name, KeepsItsBytesEverywhereAndShowsReadably) {
  const NameRow& row = GetParam();
  testing_support::TempFolder tmp;
  const QString name = FileNameFromBytes(row.bytes);
  ASSERT_TRUE(HasRawBytes(name));
  EXPECT_EQ(FileNameBytes(name), row.bytes);

  const int fd = ::open((FileNameBytes(tmp.path()) + '/' + row.bytes).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  EXPECT_EQ(ReadFolderEntries(tmp.path(), FolderEntryKind::Files), QStringList{name});
  const QString path = tmp.path() + u'/' + name;
  EXPECT_EQ(LongPath_Get(path), path);
  EXPECT_TRUE(File_Check(path));

  const QString display = QString::fromUtf8(row.display);
  EXPECT_EQ(DisplayPath(path), tmp.path() + u'/' + display);
  EXPECT_EQ(DispPath_Get("/a/b/c/" + name), "/a/.../c/" + display);
  EXPECT_EQ(FileNameBytes(UCase_Get(name)), row.upper);
  EXPECT_EQ(FileNameBytes(BaseName_Get(path, true, false)), row.base);

  const QByteArray uri = FileNameUrl(path).toEncoded();
  EXPECT_TRUE(uri.endsWith('/' + row.bytes.toPercentEncoding())) << uri.constData();
  EXPECT_EQ(FileNameFromUrl(QUrl(QString::fromLatin1(uri))), path);
}

// A folder and an archive named on Japanese Windows, and what only CP932 holds.
INSTANTIATE_TEST_SUITE_P(
    Cp932Bytes, NonUtf8Name,
    testing::Values(
        // The trail bytes "t", "H" and "_" are no letters of their own.
        NameRow{"Folder", "\x83\x74\x83\x48\x83\x8B\x83\x5F", "フォルダ［SJIS］",
                "\x83\x74\x83\x48\x83\x8B\x83\x5F", "\x83\x74\x83\x48\x83\x8B\x83\x5F"},
        NameRow{"Archive", "\x93\xFA\x96\x7B.lzh", "日本.lzh［SJIS］", "\x93\xFA\x96\x7B.LZH", "\x93\xFA\x96\x7B"},
        NameRow{"HalfWidthKanaAndTwoPartExtension", "\xB1\xB2" "abc.tar.gz", "ｱｲabc.tar.gz［SJIS］",
                "\xB1\xB2" "ABC.TAR.GZ", "\xB1\xB2" "abc"},
        // Small roman numeral one upper-cased within CP932.
        NameRow{"SmallRomanNumeral", "\xFA\x40.zip", "ⅰ.zip［SJIS］", "\x87\x54.ZIP", "\xFA\x40"}),
    [](const auto& info) { return std::string(info.param.label); });

// Bytes that are neither UTF-8 nor CP932.
INSTANTIATE_TEST_SUITE_P(
    OtherInvalidBytes, NonUtf8Name,
    testing::Values(NameRow{"Byte0xFF", "a\xFF.zip", "a\\xFF.zip［UTF-8 以外］", "A\xFF.ZIP", "a\xFF"},
                    NameRow{"Latin1", "caf\xE9.lzh", "caf\\xE9.lzh［UTF-8 以外］", "CAF\xE9.LZH", "caf\xE9"},
                    NameRow{"Utf8ThenABadByte", "\xE3\x81\x82\xFF", "あ\\xFF［UTF-8 以外］", "\xE3\x81\x82\xFF",
                            "\xE3\x81\x82\xFF"},
                    // U+10080's second half is a U+DC80 too, and no byte.
                    NameRow{"AfterACharacterBeyondUFFFF", "\xF0\x90\x82\x80\xFF", "\U00010080\\xFF［UTF-8 以外］",
                            "\xF0\x90\x82\x80\xFF", "\xF0\x90\x82\x80\xFF"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
