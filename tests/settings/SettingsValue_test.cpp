// Which stored texts read as booleans and integers, and how numbers round.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "settings/SettingsValue.h"

namespace {

// A stored text and what it reads as; the name names the test case.
template <class T>
struct TextRow {
  const char* name;
  const char16_t* text;
  std::optional<T> expected;
};

template <class T>
std::string RowName(const testing::TestParamInfo<TextRow<T>>& info) {
  return info.param.name;
}

class BoolFromTextRows : public testing::TestWithParam<TextRow<bool>> {};

TEST_P(BoolFromTextRows, Reads) { EXPECT_EQ(BoolFromText(QString::fromUtf16(GetParam().text)), GetParam().expected); }

const TextRow<bool> kBoolRows[] = {
    {"TrueWord", u"True", true},
    {"FalseWord", u"False", false},
    {"CapitalsTrue", u"TRUE", true},
    {"MixedCaseFalse", u"fAlSe", false},
    {"BlanksAround", u" True ", true},
    {"One", u"1", true},
    {"MinusOne", u"-1", true},
    {"Zero", u"0", false},
    {"ZeroWithFraction", u"0.000", false},
    {"Fraction", u"10.5", true},
    {"SmallFraction", u"0.01", true},
    {"NumberTooLongForADouble", u"1000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                                u"0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                                u"0000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                                u"0000000000000000000000000000000000000000000000000000000000000000000000000000000000",
     true},
    {"Yes", u"yes", std::nullopt},
    {"Empty", u"", std::nullopt},
    {"Exponent", u"1e3", std::nullopt},
    {"Hexadecimal", u"0x1", std::nullopt},
    {"SignAlone", u"-", std::nullopt},
    {"PointAlone", u".", std::nullopt},
    {"FullWidthDigit", u"１", std::nullopt},
    {"TrueWithTrailingText", u"Truest", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, BoolFromTextRows, testing::ValuesIn(kBoolRows), RowName<bool>);

class Int16FromTextRows : public testing::TestWithParam<TextRow<int16_t>> {};

TEST_P(Int16FromTextRows, Reads) { EXPECT_EQ(Int16FromText(QString::fromUtf16(GetParam().text)), GetParam().expected); }

const TextRow<int16_t> kInt16Rows[] = {
    {"Plain", u"10", 10},
    {"Negative", u"-5000", -5000},
    {"HalfRoundsDownToEven", u"10.5", 10},
    {"HalfRoundsUpToEven", u"11.5", 12},
    {"TwoAndAHalf", u"2.5", 2},
    {"NegativeHalfToEven", u"-1.5", -2},
    {"NegativeHalfToZero", u"-0.5", 0},
    {"BelowHalf", u"10.49", 10},
    {"AboveHalf", u"10.51", 11},
    {"LeadingPoint", u".6", 1},
    {"PlusSign", u"+7", 7},
    {"BlanksAround", u" 7 ", 7},
    {"Largest", u"32767", 32767},
    {"RoundsToLargest", u"32767.4", 32767},
    {"RoundsPastLargest", u"32767.5", std::nullopt},
    {"Smallest", u"-32768", -32768},
    {"HalfBelowSmallestRoundsToIt", u"-32768.5", -32768},
    {"BelowSmallest", u"-32769", std::nullopt},
    {"Beyond16Bits", u"40000", std::nullopt},
    {"Word", u"abc", std::nullopt},
    {"Empty", u"", std::nullopt},
    {"ThousandsSeparator", u"1,000", std::nullopt},
    {"DecimalComma", u"10,5", std::nullopt},
    {"Exponent", u"1e2", std::nullopt},
    {"FullWidthDigits", u"１０", std::nullopt},
    {"Infinity", u"inf", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, Int16FromTextRows, testing::ValuesIn(kInt16Rows), RowName<int16_t>);

TEST(Int32FromText, TakesWindowPositionsBeyond16Bits) {
  EXPECT_EQ(Int32FromText("38400"), 38400);
  EXPECT_EQ(Int32FromText("-38400.5"), -38400);
  EXPECT_EQ(Int32FromText("2147483647"), 2147483647);
  EXPECT_EQ(Int32FromText("2147483648"), std::nullopt);
  EXPECT_EQ(Int32FromText("left"), std::nullopt);
}

TEST(SettingsValueText, WrittenFormsReadBack) {
  EXPECT_EQ(BoolToText(true), "True");
  EXPECT_EQ(BoolToText(false), "False");
  EXPECT_EQ(IntToText(-32768), "-32768");
  for (int value : {-32768, -1, 0, 1, 32767}) EXPECT_EQ(Int16FromText(IntToText(value)), value);
}

}  // namespace
