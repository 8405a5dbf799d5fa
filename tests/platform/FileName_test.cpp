// Names that are not UTF-8: their bytes come back exactly, even beside a
// character beyond U+FFFF, they show decoded and marked, and upper case
// changes no byte of a CP932 character but the ones it must.
#include <gtest/gtest.h>

#include "engine/PathHelpers.h"
#include "platform/FileName.h"

namespace {

struct NameRow {
  const char* label;
  QByteArray bytes;     // the name on disk
  const char* display;  // as the user sees it
  QByteArray upper;     // UCase_Get, which names the run modes' folders
};

void PrintTo(const NameRow& row, std::ostream* out) { *out << row.label; }

class NonUtf8Name : public testing::TestWithParam<NameRow> {};

TEST_P(NonUtf8Name, KeepsItsBytesAndShowsReadably) {
  const NameRow& row = GetParam();
  const QString name = FileNameFromBytes(row.bytes);
  ASSERT_TRUE(HasRawBytes(name));
  EXPECT_EQ(FileNameBytes(name), row.bytes);
  EXPECT_EQ(DispPath_Get("/a/b/c/" + name), "/a/.../c/" + QString::fromUtf8(row.display));
  EXPECT_EQ(FileNameBytes(UCase_Get(name)), row.upper);
}

const auto kLabel = [](const auto& info) { return std::string(info.param.label); };

INSTANTIATE_TEST_SUITE_P(
    Cp932Bytes, NonUtf8Name,
    testing::Values(
        // The trail bytes "t", "H" and "_" are no letters of their own.
        NameRow{"Folder", "\x83\x74\x83\x48\x83\x8B\x83\x5F", "フォルダ［SJIS］", "\x83\x74\x83\x48\x83\x8B\x83\x5F"},
        NameRow{"HalfWidthKana", "\xB1\xB2" "abc.lzh", "ｱｲabc.lzh［SJIS］", "\xB1\xB2" "ABC.LZH"},
        NameRow{"SmallRomanNumeral", "\xFA\x40.zip", "ⅰ.zip［SJIS］", "\x87\x54.ZIP"}),
    kLabel);

INSTANTIATE_TEST_SUITE_P(
    OtherInvalidBytes, NonUtf8Name,
    testing::Values(NameRow{"Byte0xFF", "a\xFF.zip", "a\\xFF.zip［UTF-8 以外］", "A\xFF.ZIP"},
                    NameRow{"Utf8ThenABadByte", "\xE3\x81\x82\xFF", "あ\\xFF［UTF-8 以外］", "\xE3\x81\x82\xFF"},
                    // U+10080's second half is a U+DC80 too, and no byte.
                    NameRow{"AfterACharacterBeyondUFFFF", "\xF0\x90\x82\x80\xFF", "\U00010080\\xFF［UTF-8 以外］",
                            "\xF0\x90\x82\x80\xFF"}),
    kLabel);

}  // namespace
