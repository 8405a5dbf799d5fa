// The program's message boxes: the application title "RUKASU2", no icon, an OK
// button or Yes/No. Every window shows its notices and questions through these.
#pragma once

#include <QString>

class QWidget;

namespace MessageBox {

inline constexpr const char* kTitle = "RUKASU2";

// An OK-only notice.
void Notice(QWidget* parent, const QString& text);
// A Yes/No question; true for Yes. defaultYes: the button that Enter presses.
bool Ask(QWidget* parent, const QString& text, bool defaultYes = true);

}  // namespace MessageBox
