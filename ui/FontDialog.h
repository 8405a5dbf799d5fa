// The font command's dialog: Qt's font dialog, in which a size can be typed
// with a decimal point (10.5) and stays within the sizes the windows can be
// laid out with, and which leaves out the effects (strikeout, underline) that
// the windows never apply.
#pragma once

#include <QFont>

class QWidget;

// Shows the dialog on `font`; true, with the chosen font in `font`, when the
// user accepts it. The size is the one typed or picked, limited to
// kMinFontSize..kMaxFontSize (WindowFont.h); whole points are not enforced.
bool AskFont(QWidget* parent, QFont& font);
