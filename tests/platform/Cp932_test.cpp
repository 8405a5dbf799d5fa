// CP932 conversion: Japanese text both ways, 0x5C trail bytes, undecodable bytes.
#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace {

TEST(Cp932, DecodesJapaneseAndKeepsTrailBackslashInsideItsCharacter) {
  // "ソフト表" : ソ = 83 5C, 表 = 95 5C — both carry 0x5C as trail byte.
  const std::string bytes("\x83\x5C\x83\x74\x83\x67\x95\x5C", 8);
  EXPECT_EQ(cp932::ToUtf8(bytes), "ソフト表");
  EXPECT_EQ(cp932::FromUtf8("ソフト表"), bytes);
}

TEST(Cp932, HalfWidthKatakanaAndAscii) {
  EXPECT_EQ(cp932::ToUtf8("\xB6\xC5 a\\b"), "ｶﾅ a\\b");
  EXPECT_EQ(cp932::FromUtf8("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9");
}

TEST(Cp932, UndecodableBytesBecomeReplacementCharacters) {
  // 0x85 0x40 is unassigned; 0xA0 is not a CP932 character; a lone lead byte ends the text.
  const std::string decoded = cp932::ToUtf8(std::string("a\xA0z\x81", 4));
  EXPECT_EQ(decoded.substr(0, 1), "a");
  EXPECT_NE(decoded.find("z"), std::string::npos);
  EXPECT_NE(decoded.find("\xEF\xBF\xBD"), std::string::npos);
}

// One U+FFFD per undecodable byte; the byte after it is read again.
TEST(Cp932, AnUndecodableLeadByteDoesNotSwallowTheNextByte) {
  const struct {
    std::string bytes, utf8;
  } rows[] = {
      {"\xB4\xC1\xBB\xFA.txt", "ｴﾁｻ\uFFFD.txt"},  // EUC-JP 漢字.txt read as CP932
      {"\x85\x40" "a", "\uFFFD@a"},              // unassigned pair
      {"\xEB\xFCx", "\uFFFD\uFFFDx"},            // unassigned lead, then a lead before 'x'
      {"\x95\x5C\x81", "表\uFFFD"},                // a lone lead byte at the end
  };
  for (const auto& row : rows) EXPECT_EQ(cp932::ToUtf8(row.bytes), row.utf8) << row.utf8;
}

TEST(Cp932, CharactersOutsideCp932BecomeQuestionMarks) {
  EXPECT_EQ(cp932::FromUtf8("a😀b"), "a?b");
  EXPECT_EQ(cp932::FromUtf8(std::string("a\xFF" "b", 3)), "a?b");
}

TEST(Cp932, RecognisesValidUtf8) {
  EXPECT_TRUE(cp932::IsValidUtf8("日本語.txt"));
  EXPECT_FALSE(cp932::IsValidUtf8("\x93\xFA\x96\x7B"));      // "日本" in CP932
  EXPECT_FALSE(cp932::IsValidUtf8("\xC0\xAF"));              // overlong "/"
  EXPECT_FALSE(cp932::IsValidUtf8("\xED\xA0\x80"));          // a surrogate
}

}  // namespace
