// The family the windows actually draw with: the stored Font_Name when it is
// installed, else an installed Japanese family, so that a machine without the
// default font shows no boxes. The stored setting itself is never changed here.
#pragma once

#include <QString>
#include <QStringList>

// `installed` are the families on the machine, `japanese` those that can
// write Japanese (both as QFontDatabase lists them). A Mincho (serif) name
// prefers a serif substitute, any other name a gothic (sans) one.
QString UsableFamily(const QString& stored, const QStringList& installed, const QStringList& japanese);
// The same against the fonts of this machine; needs a QGuiApplication.
QString UsableFamily(const QString& stored);
// The Japanese families above, those of the name's kind (serif for a Mincho
// name) first: the fallbacks after a font that lacks kana or kanji.
QStringList JapaneseFamilies(const QString& name);
