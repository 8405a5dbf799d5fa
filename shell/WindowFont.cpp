// See WindowFont.h.
#include "shell/WindowFont.h"

#include <QWidget>

#include "settings/Settings.h"
#include "shell/FontFallback.h"

QFont SettingsFont(const Settings& settings) {
  QFont font(UsableFamily(settings.Font_Name));
  if (settings.Font_Size > 0) font.setPointSize(settings.Font_Size);
  font.setBold(settings.Font_Bold);
  font.setItalic(settings.Font_Italic);
  return font;
}

void ApplyFont(QWidget* control, const QFont& font) {
  if (!control) return;
  QFont f = control->font();
  f.setFamily(font.family());
  if (font.pointSize() > 0) f.setPointSize(font.pointSize());
  f.setBold(font.bold());
  f.setItalic(font.italic());
  control->setFont(f);
}
