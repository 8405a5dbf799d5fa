// The removal switch: which argument texts are it, the question it asks, and
// that the removal takes the current section and nothing else.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "settings/SettingsRemoval.h"
#include "settings/SettingsStore.h"
#include "tests/settings/FreshConfig.h"

namespace {

struct SwitchRow {
  const char* name;
  const char16_t* argumentText;
  bool isSwitch;
};

class RemovalSwitchRows : public testing::TestWithParam<SwitchRow> {};

TEST_P(RemovalSwitchRows, Recognised) {
  EXPECT_EQ(IsRemovalSwitch(QString::fromUtf16(GetParam().argumentText)), GetParam().isSwitch);
}

const SwitchRow kSwitchRows[] = {
    {"UpperCase", u"/U", true},
    {"LowerCase", u"/u", true},
    {"FollowedByAnArchive", u"/U a.lzh", false},
    {"LeadingBlank", u" /U", false},
    {"TrailingBlank", u"/U ", false},
    {"Empty", u"", false},
    {"WithoutSlash", u"U", false},
    {"Dash", u"-U", false},
    {"FullWidth", u"／Ｕ", false},
    {"Quoted", u"\"/U\"", false},
};

INSTANTIATE_TEST_SUITE_P(Arguments, RemovalSwitchRows, testing::ValuesIn(kSwitchRows),
                         [](const testing::TestParamInfo<SwitchRow>& info) { return std::string(info.param.name); });

TEST(SettingsRemoval, QuestionIsTheSharedTextAndTheFile) {
  FreshConfig config;
  SettingsStore store;
  EXPECT_EQ(RemovalQuestion(store), QStringLiteral("で使用した設定ファイルを全て削除します\n") + config.ini("Velmont Soft"));
}

TEST(SettingsRemoval, RemovesTheCurrentSectionOnly) {
  FreshConfig config;
  const QString current = config.writeIni("Velmont Soft", "[General]\nVersion=1.02\nMain_Left=100\n");
  const QByteArray other = "[General]\nKey=1\n";
  const QString otherSection = config.writeIni("Velmont Soft", other, "Other");
  const QByteArray earlier = "[General]\nVersion=1.01\n";
  const QString earlierFile = config.writeIni("Rukasu2", earlier);
  SettingsStore store;
  EXPECT_TRUE(RemoveAllSettings(store));
  EXPECT_FALSE(QFileInfo::exists(current));
  EXPECT_EQ(testing_support::ReadFile(otherSection), other);
  EXPECT_EQ(testing_support::ReadFile(earlierFile), earlier);
}

TEST(SettingsRemoval, NothingStoredIsNoFailure) {
  FreshConfig config;
  SettingsStore store;
  EXPECT_TRUE(RemoveAllSettings(store));
}

}  // namespace
