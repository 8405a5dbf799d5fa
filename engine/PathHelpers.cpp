// The text-only path and name helpers; the ones that ask the file system are
// in PathHelpersDisk.cpp. See PathHelpers.h.
#include "engine/PathHelpers.h"

#include <QStringList>

#include "engine/ArchiveKinds.h"

namespace {

const QChar kSeparator = u'/';

bool IsDoubleExtension(const QString& upperTail, bool tar, bool doubleExt) {
  return (tar && IsTwoPartKindExtension(upperTail)) || (doubleExt && FindDoubleKind(upperTail));
}

}  // namespace

QString DispPath_Get(const QString& path) {
  QStringList pieces;
  qsizetype start = 0;
  for (qsizetype i = 0; i < path.size(); ++i) {
    if (path[i] == kSeparator) {
      pieces << path.mid(start, i - start + 1);
      start = i + 1;
    }
  }
  if (start < path.size()) pieces << path.mid(start);
  const qsizetype k = pieces.size();
  if (k <= 4) return path;
  return pieces[0] + pieces[1] + QStringLiteral("...") + kSeparator + pieces[k - 2] + pieces[k - 1];
}

QString DigitCut_Get(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= u'0' && c <= u'9') return i == 0 ? text : text.left(i);
  }
  return text;
}

QString FileName_Get(const QString& path) {
  const qsizetype p = path.lastIndexOf(kSeparator);
  if (p < 0 || p == path.size() - 1) return {};
  return path.mid(p + 1);
}

QString BaseName_Get(const QString& path, bool tar, bool doubleExt) {
  const QString name = FileName_Get(path);
  if (name.isEmpty()) return {};
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot < 0) return name;
  const qsizetype n = dot + 1;  // position of the last dot, counted from 1
  if (n < 6) return name.left(n - 1);
  const QString tail = name.mid(n - 5).toUpper();  // from position n - 4
  if (IsDoubleExtension(tail, tar, doubleExt)) return name.left(n - 5);
  return name.left(n - 1);
}

QString ParentDir_Get(const QString& path) {
  const qsizetype p = path.lastIndexOf(kSeparator);
  if (p < 0) return {};
  if (p == 0) return QString(kSeparator);  // the root keeps its separator
  return path.left(p);
}

QString Exp_Get(const QString& path, bool tar, bool doubleExt) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (path[i] == kSeparator) return {};
    if (path[i] != u'.') continue;
    const qsizetype n = i + 1;  // position of the last dot, counted from 1
    if (n >= 6) {
      const QString tail = path.mid(n - 5);
      if (IsDoubleExtension(tail.toUpper(), tar, doubleExt)) return tail;
    }
    return path.mid(i);
  }
  return {};
}

QString ShortPath_Get(const QString&) { return {}; }

QString UCase_Get(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (char32_t c : text.toUcs4()) {
    const bool keep = (c >= 0xFF41 && c <= 0xFF5A) || (c >= 0x03B1 && c <= 0x03C9) ||
                      (c >= 0x0430 && c <= 0x044F);
    const char32_t upper = keep ? c : QChar::toUpper(c);
    if (QChar::requiresSurrogates(upper)) {
      out += QChar(QChar::highSurrogate(upper));
      out += QChar(QChar::lowSurrogate(upper));
    } else {
      out += QChar(static_cast<char16_t>(upper));
    }
  }
  return out;
}
