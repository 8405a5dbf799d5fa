// The font of all windows, from the settings Font_Name, Font_Size, Font_Bold
// and Font_Italic, and its application to single controls.
#pragma once

#include <QFont>

struct Settings;
class QWidget;

// The sizes, in points, that the windows take: smaller text cannot be read,
// and with larger the panes of a window of usual size have no room left for
// their lists.
inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 36;
double LimitedFontSize(double points);

// The stored family when it is installed, else an installed Japanese one
// (FontFallback.h), followed by fonts that hold every Japanese glyph in one
// design (Mincho after a Mincho or serif name, Gothic otherwise); the
// settings are not changed. The size is limited as above.
QFont SettingsFont(const Settings& settings);
// The font with those Japanese fonts after its own family.
QFont WithJapaneseFallback(const QFont& font);
// Sets name (with its fallbacks), size, bold and italic on the control, each on its own.
void ApplyFont(QWidget* control, const QFont& font);
