// The font of all windows, from the settings Font_Name, Font_Size, Font_Bold
// and Font_Italic, and its application to single controls.
#pragma once

#include <QFont>

struct Settings;
class QWidget;

// The family is the stored one when it is installed, else an installed
// Japanese one (FontFallback.h); the settings are not changed.
QFont SettingsFont(const Settings& settings);
// Sets name, size, bold and italic on the control, each on its own.
void ApplyFont(QWidget* control, const QFont& font);
