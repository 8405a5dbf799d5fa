// Qt's own texts in Japanese: the buttons of the message boxes and the labels
// of the font and file dialogs, once the program's translator is installed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "ui/QtTranslations.h"

namespace {

// The labels and group titles of a dialog that are still English words.
QStringList EnglishCaptions(const QWidget& dialog) {
  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) texts << group->title();
  return texts.filter(QRegularExpression("[A-Za-z]{3}"));
}

TEST(QtTranslations, MessageBoxesAndDialogsSpeakJapanese) {
  const std::unique_ptr<QTranslator> translator = JapaneseQtTexts();
  ASSERT_TRUE(translator) << "qtbase_ja.qm is missing (package qt6-translations-l10n)";
  QCoreApplication::installTranslator(translator.get());

  QMessageBox box(QMessageBox::NoIcon, "RUKASU2", "?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                                                          QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "はい(&Y)");
  EXPECT_EQ(box.button(QMessageBox::No)->text(), "いいえ(&N)");
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "キャンセル");

  QFontDialog fonts;
  fonts.setOption(QFontDialog::DontUseNativeDialog);
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  for (const QWidget* dialog : std::initializer_list<const QWidget*>{&fonts, &files}) {
    EXPECT_EQ(EnglishCaptions(*dialog), QStringList()) << dialog->metaObject()->className();
  }
  QCoreApplication::removeTranslator(translator.get());
}

}  // namespace
