// Qt's own texts (the buttons of message boxes, the file and font dialogs,
// the context menus of text boxes) in Japanese, like every other text the
// program shows.
#pragma once

#include <QTranslator>
#include <memory>

// Qt's Japanese translation (qtbase_ja.qm from Qt's translations folder, the
// package qt6-translations-l10n), ready to install; null, after a warning line
// on standard error, when it is not there.
std::unique_ptr<QTranslator> JapaneseQtTexts();
