// A control's tool tip and what a screen reader says of it: lists, folder
// boxes and drive lists have no caption of their own, so the text of their
// tip names them whether tips are shown or not.
#pragma once

class QString;
class QWidget;

void Describe(QWidget* control, const QString& text, bool tipShown);
