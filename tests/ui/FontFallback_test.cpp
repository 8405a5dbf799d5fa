// The family the windows draw with when the stored one is missing: which
// installed Japanese family stands in, and that on this machine the default
// "ＭＳ 明朝" ends up as a real font that holds the program's Japanese text.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include "settings/SettingsDefaults.h"
#include "ui/FontFallback.h"
#include "ui/WindowFont.h"

namespace {

struct FallbackCase {
  const char* label;
  const char* stored;
  QStringList installed;
  QStringList japanese;
  const char* expected;
};

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.label; }

class FallbackChoice : public testing::TestWithParam<FallbackCase> {};

TEST_P(FallbackChoice, PicksTheFamily) {
  const FallbackCase& c = GetParam();
  EXPECT_EQ(UsableFamily(QString::fromUtf8(c.stored), c.installed, c.japanese), QString::fromUtf8(c.expected));
}

const QStringList kNoto = {"DejaVu Sans", "Noto Sans CJK JP", "Noto Serif CJK JP", "Noto Sans CJK SC"};
const QStringList kIpa = {"DejaVu Serif", "IPAGothic", "IPAMincho", "IPAPGothic"};

INSTANTIATE_TEST_SUITE_P(
    WindowFont, FallbackChoice,
    testing::Values(
        FallbackCase{"installed_family_is_kept", "IPAGothic", kIpa, {}, "IPAGothic"},
        FallbackCase{"installed_family_in_other_letter_case_is_kept", "ipamincho", kIpa, {}, "ipamincho"},
        FallbackCase{"mincho_default_takes_a_serif_family", "ＭＳ 明朝", kNoto, {}, "Noto Serif CJK JP"},
        FallbackCase{"mincho_default_with_ipa_fonts", "ＭＳ 明朝", kIpa, {}, "IPAMincho"},
        FallbackCase{"gothic_name_takes_a_sans_family", "ＭＳ ゴシック", kNoto, {}, "Noto Sans CJK JP"},
        FallbackCase{"sans_serif_name_takes_a_sans_family", "Microsoft Sans Serif", kNoto, {}, "Noto Sans CJK JP"},
        FallbackCase{"empty_name_takes_a_sans_family", "", kIpa, {}, "IPAGothic"},
        FallbackCase{"mincho_without_serif_takes_sans", "ＭＳ 明朝", {"TakaoPGothic", "TakaoGothic"}, {}, "TakaoGothic"},
        FallbackCase{"unlisted_japanese_family", "ＭＳ 明朝", {"DejaVu Sans", "Ume Gothic"}, {"Ume Gothic"},
                     "Ume Gothic"},
        FallbackCase{"nothing_japanese_keeps_the_stored_name", "ＭＳ 明朝", {"DejaVu Sans"}, {}, "ＭＳ 明朝"}));

// The glyphs of the captions the windows show, in the font they are drawn with.
bool DrawsJapanese(const QFont& font) {
  const QFontMetrics metrics(font);
  for (const QChar c : QStringLiteral("解凍先フォルダｷｬﾝｾﾙ明朝"))
    if (!metrics.inFont(c)) return false;
  return true;
}

TEST(WindowFont, DefaultFontOnThisMachineDrawsJapanese) {
  if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
    GTEST_SKIP() << "no Japanese font is installed (package fonts-noto-cjk)";
  const Settings settings = DefaultSettings();
  if (QFontDatabase::hasFamily(settings.Font_Name)) GTEST_SKIP() << "the default font itself is installed";

  QLabel label;
  ApplyFont(&label, SettingsFont(settings));
  const QFontInfo used(label.font());
  EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(used.family())) << used.family().toStdString();
  EXPECT_TRUE(DrawsJapanese(label.font()));
  EXPECT_EQ(label.font().pointSize(), settings.Font_Size);
  EXPECT_EQ(settings.Font_Name, QStringLiteral("ＭＳ 明朝")) << "the stored setting stays as it was";
}

TEST(WindowFont, AnInstalledStoredFamilyIsUsedAsItIs) {
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese font is installed (package fonts-noto-cjk)";
  Settings settings = DefaultSettings();
  settings.Font_Name = japanese.last();
  settings.Font_Bold = true;
  const QFont font = SettingsFont(settings);
  EXPECT_EQ(font.family(), japanese.last());
  EXPECT_TRUE(font.bold());
}

}  // namespace
