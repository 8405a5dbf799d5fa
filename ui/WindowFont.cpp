// See WindowFont.h.
#include "ui/WindowFont.h"

#include <QWidget>
#include <algorithm>

#include "settings/Settings.h"
#include "ui/FontFallback.h"

// Without these, each kanji or kana that the font lacks comes from whatever
// font the system finds first, often a Chinese one, and one line mixes glyph
// designs and weights. Families that are not installed are skipped.
QFont WithJapaneseFallback(const QFont& font) {
  QFont result = font;
  result.setFamilies(QStringList{font.family()} + JapaneseFamilies(font.family()));
  return result;
}

double LimitedFontSize(double points) { return std::clamp(points, double(kMinFontSize), double(kMaxFontSize)); }

QFont SettingsFont(const Settings& settings) {
  QFont font(UsableFamily(settings.Font_Name));
  // A size stored by hand or by an earlier version may lie outside the limits.
  if (settings.Font_Size > 0) font.setPointSize(static_cast<int>(LimitedFontSize(settings.Font_Size)));
  font.setBold(settings.Font_Bold);
  font.setItalic(settings.Font_Italic);
  return WithJapaneseFallback(font);
}

void ApplyFont(QWidget* control, const QFont& font) {
  if (!control) return;
  QFont f = control->font();
  f.setFamilies(font.families());
  if (font.pointSize() > 0) f.setPointSize(font.pointSize());
  f.setBold(font.bold());
  f.setItalic(font.italic());
  control->setFont(f);
}
