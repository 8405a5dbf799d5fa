// The font of all windows, from the settings Font_Name, Font_Size, Font_Bold
// and Font_Italic, and its application to single controls.
#pragma once

#include <QFont>

struct Settings;
class QWidget;

// The stored family when it is installed, else an installed Japanese one
// (FontFallback.h), followed by fonts that hold every Japanese glyph in one
// design (Mincho after a Mincho or serif name, Gothic otherwise); the
// settings are not changed.
QFont SettingsFont(const Settings& settings);
// The font with those Japanese fonts after its own family.
QFont WithJapaneseFallback(const QFont& font);
// Sets name (with its fallbacks), size, bold and italic on the control, each on its own.
void ApplyFont(QWidget* control, const QFont& font);
