// The font command's dialog, as the user types into it: decimal sizes, sizes
// kept within the limits, and no effects that the windows would not apply.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>
#include <QValidator>

#include "settings/SettingsDefaults.h"
#include "ui/FontDialog.h"
#include "ui/QtTranslations.h"
#include "ui/WindowFont.h"
#include "tests/support/ModalHelper.h"

namespace {

using testing_support::WhenModal;

QLineEdit* SizeBox(QFontDialog* dialog) {
  for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
    if (qobject_cast<const QDoubleValidator*>(edit->validator())) return edit;
  return nullptr;
}

TEST(FontDialog, TakesTypedDecimalSizesWithinTheLimitsAndNoEffects) {
  struct Row {
    const char* typed;
    double size;
  };
  for (const Row row : {Row{"10.5", 10.5}, Row{"11.5", 11.5}, Row{"105", 10}, Row{"3", 6}, Row{"24", 24}}) {
    SCOPED_TRACE(row.typed);
    bool effectsShown = true;
    WhenModal<QFontDialog>([&](QFontDialog* dialog) {
      effectsShown = false;
      for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) effectsShown = effectsShown || box->isVisible();
      QLineEdit* size = SizeBox(dialog);
      if (!size) return dialog->reject();
      size->selectAll();
      QTest::keyClicks(size, row.typed);
      dialog->accept();
    });
    QFont font("DejaVu Sans", 10);
    ASSERT_TRUE(AskFont(nullptr, font));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), row.size);
    EXPECT_FALSE(effectsShown);
  }
}

// With Qt's Japanese texts, as the program runs, the dialog must still start
// on the font's own style: accepted unchanged, a regular font stays regular.
TEST(FontDialog, AcceptedUnchangedKeepsBoldAndItalicUnderJapaneseTexts) {
  const std::unique_ptr<QTranslator> japanese = JapaneseQtTexts();
  ASSERT_TRUE(japanese);
  QCoreApplication::installTranslator(japanese.get());
  for (const bool bold : {false, true}) {
    SCOPED_TRACE(bold ? "bold" : "regular");
    Settings settings = DefaultSettings();
    settings.Font_Bold = bold;
    QFont font = SettingsFont(settings);
    WhenModal<QFontDialog>([](QFontDialog* dialog) { dialog->accept(); });
    ASSERT_TRUE(AskFont(nullptr, font));
    EXPECT_EQ(font.bold(), bold);
    EXPECT_FALSE(font.italic());
  }
  QCoreApplication::removeTranslator(japanese.get());
}

}  // namespace
