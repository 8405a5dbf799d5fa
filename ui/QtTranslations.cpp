// See QtTranslations.h.
#include "ui/QtTranslations.h"

#include <QLibraryInfo>
#include <QLocale>

std::unique_ptr<QTranslator> JapaneseQtTexts() {
  auto translator = std::make_unique<QTranslator>();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                       folder))
    return translator;
  qWarning("rukasu2: Qt の日本語訳 (qtbase_ja.qm) が %s にありません。"
           "Qt のボタンやダイアログは英語で表示されます",
           qPrintable(folder));
  return nullptr;
}
