// See FontDialog.h.
#include "ui/FontDialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QValidator>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

#include "ui/WindowFont.h"

namespace {

// Sizes are typed with a point whatever the locale; a comma would be taken
// for a thousands separator and 10,5 read as 105.
QLocale SizeLocale() {
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator);
  return c;
}

std::optional<double> TypedSize(const QString& text) {
  bool ok = false;
  const double size = SizeLocale().toDouble(text, &ok);
  return ok && size > 0 ? std::optional<double>(size) : std::nullopt;
}

// Qt's own size box takes whole numbers only: its validator drops the point,
// so that 10.5 became 105.
QLineEdit* SizeBox(const QFontDialog& dialog) {
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
    if (qobject_cast<const QIntValidator*>(edit->validator())) return edit;
  return nullptr;
}

void AcceptDecimalSizes(QLineEdit* size, QLineEdit* sample) {
  auto* validator = new QDoubleValidator(kMinFontSize, kMaxFontSize, 1, size);
  validator->setNotation(QDoubleValidator::StandardNotation);
  validator->setLocale(SizeLocale());
  size->setValidator(validator);
  if (!sample) return;
  // The dialog itself previews whole points; the sample shows the size typed.
  QObject::connect(size, &QLineEdit::textChanged, sample, [sample](const QString& text) {
    if (const auto typed = TypedSize(text)) {
      QFont font = sample->font();
      font.setPointSizeF(LimitedFontSize(*typed));
      sample->setFont(font);
    }
  });
}

// The sample beside the effects keeps the height they gave it; it would
// shrink to a sliver without them.
void HideEffects(const QFontDialog& dialog, QLineEdit* sample) {
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
    auto* group = qobject_cast<QGroupBox*>(box->parentWidget());
    if (!group) {
      box->hide();
      continue;
    }
    if (group->isVisibleTo(&dialog) && sample && sample->parentWidget())
      sample->parentWidget()->setMinimumHeight(group->sizeHint().height());
    group->hide();
  }
}

// Qt's dialog looks the font's style up by its translated name ("標準" once
// Qt's Japanese texts are loaded), which no font lists, and then takes the
// first style of the family, often Bold. Naming the family's own style that
// is nearest to the font avoids it.
QFont WithStyleName(QFont font) {
  const QString family = font.families().value(0, font.family());
  QString nearest;
  int distance = INT_MAX;
  for (const QString& style : QFontDatabase::styles(family)) {
    const int d = std::abs(QFontDatabase::weight(family, style) - font.weight()) +
                  (QFontDatabase::italic(family, style) != font.italic() ? 10000 : 0);
    if (d < distance) {
      distance = d;
      nearest = style;
    }
  }
  if (!nearest.isEmpty()) font.setStyleName(nearest);
  return font;
}

}  // namespace

bool AskFont(QWidget* parent, QFont& font) {
  // Qt's own dialog on every desktop: a desktop's native one would ignore the limits.
  QFontDialog dialog(parent);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  dialog.setCurrentFont(WithStyleName(font));
  QLineEdit* sample = dialog.findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
  HideEffects(dialog, sample);
  QLineEdit* size = SizeBox(dialog);
  if (size) AcceptDecimalSizes(size, sample);
  if (dialog.exec() != QDialog::Accepted) return false;
  QFont chosen = dialog.selectedFont();
  if (const auto typed = size ? TypedSize(size->text()) : std::nullopt) chosen.setPointSizeF(*typed);
  chosen.setPointSizeF(LimitedFontSize(chosen.pointSizeF()));
  chosen.setUnderline(false);
  chosen.setStrikeOut(false);
  font = chosen;
  return true;
}
