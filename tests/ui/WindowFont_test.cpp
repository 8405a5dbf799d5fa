// Japanese text in the settings font is drawn in one design: when the chosen
// family lacks kana or kanji, they come from one Japanese font of the same
// kind instead of from whatever the system finds first for each script.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>
#include <QWidget>

#include "settings/SettingsDefaults.h"
#include "ui/WindowFont.h"

namespace {

// The families that draw `text` in `font`, one per glyph run.
QSet<QString> DrawingFamilies(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  QSet<QString> families;
  for (const QGlyphRun& run : layout.glyphRuns()) families << run.rawFont().familyName();
  return families;
}

TEST(WindowFont, KanaAndKanjiComeFromOneJapaneseFamily) {
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (japanese.isEmpty()) GTEST_SKIP() << "no Japanese font is installed (package fonts-noto-cjk)";
  struct Row {
    const char* name;  // a family that draws no Japanese itself
    bool serif;
  };
  for (const Row row : {Row{"DejaVu Serif", true}, Row{"DejaVu Sans", false}}) {
    if (!QFontDatabase::hasFamily(row.name)) continue;
    SCOPED_TRACE(row.name);
    Settings settings = DefaultSettings();
    settings.Font_Name = row.name;
    const QFont font = SettingsFont(settings);
    EXPECT_EQ(font.family(), row.name);
    const QSet<QString> families = DrawingFamilies(font, QStringLiteral("解凍できませんでした全て終了しました"));
    ASSERT_EQ(families.size(), 1) << QStringList(families.values()).join(", ").toStdString();
    const QString used = *families.begin();
    EXPECT_TRUE(japanese.contains(used)) << used.toStdString();
    EXPECT_EQ(used.contains("Serif") || used.contains("Mincho"), row.serif) << used.toStdString();
  }
}

TEST(WindowFont, ApplyFontKeepsTheFallbacks) {
  QWidget widget;
  const QFont chosen = SettingsFont(DefaultSettings());
  ApplyFont(&widget, chosen);
  EXPECT_EQ(widget.font().families(), chosen.families());
  EXPECT_EQ(widget.font().pointSize(), chosen.pointSize());
}

}  // namespace
