// See FontFallback.h.
#include "ui/FontFallback.h"

#include <QFontDatabase>

namespace {

// Japanese families that Debian and its relatives package, best first.
const QStringList kSerifFamilies = {
    QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Source Han Serif JP"), QStringLiteral("IPAexMincho"),
    QStringLiteral("IPAMincho"),         QStringLiteral("IPAPMincho"),          QStringLiteral("TakaoExMincho"),
    QStringLiteral("TakaoMincho"),       QStringLiteral("TakaoPMincho"),
};
const QStringList kSansFamilies = {
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"), QStringLiteral("IPAexGothic"),
    QStringLiteral("IPAGothic"),        QStringLiteral("IPAPGothic"),         QStringLiteral("TakaoExGothic"),
    QStringLiteral("TakaoGothic"),      QStringLiteral("TakaoPGothic"),       QStringLiteral("VL Gothic"),
    QStringLiteral("VL PGothic"),
};

// "Sans Serif" and "Microsoft Sans Serif" are sans fonts.
bool IsSerifName(const QString& family) {
  return family.contains(u"明朝") || family.contains(u"Mincho", Qt::CaseInsensitive) ||
         (family.contains(u"Serif", Qt::CaseInsensitive) && !family.contains(u"Sans", Qt::CaseInsensitive));
}

// The spelling of `family` in `families`, ignoring letter case; empty when absent.
QString Find(const QStringList& families, const QString& family) {
  for (const QString& f : families)
    if (f.compare(family, Qt::CaseInsensitive) == 0) return f;
  return {};
}

}  // namespace

QString UsableFamily(const QString& stored, const QStringList& installed, const QStringList& japanese) {
  if (!stored.isEmpty() && !Find(installed, stored).isEmpty()) return stored;
  const bool serif = IsSerifName(stored);
  for (const QStringList* list : {serif ? &kSerifFamilies : &kSansFamilies, serif ? &kSansFamilies : &kSerifFamilies})
    for (const QString& candidate : *list)
      if (const QString found = Find(installed, candidate); !found.isEmpty()) return found;
  if (!japanese.isEmpty()) return japanese.first();
  // Nothing better is installed: leave the choice to Qt's own matching.
  return stored;
}

QStringList JapaneseFamilies(const QString& name) {
  return IsSerifName(name) ? kSerifFamilies + kSansFamilies : kSansFamilies + kSerifFamilies;
}

QString UsableFamily(const QString& stored) {
  // hasFamily also knows a font by its localised name ("ＭＳ 明朝" for MS Mincho).
  if (!stored.isEmpty() && QFontDatabase::hasFamily(stored)) return stored;
  return UsableFamily(stored, QFontDatabase::families(), QFontDatabase::families(QFontDatabase::Japanese));
}
