// See CommandLine.h.
#include "shell/CommandLine.h"

#include <QDir>

#include "ui/WindowInterfaces.h"

QString ArgumentText(const QStringList& arguments, const QString& currentFolder) {
  QStringList parts;
  for (QString argument : arguments) {
    if (argument.isEmpty()) continue;
    if (!argument.startsWith(u'/')) argument = QDir(currentFolder).absoluteFilePath(argument);
    parts << (argument.contains(u' ') ? u'"' + argument + u'"' : argument);
  }
  return parts.join(u' ');
}

namespace {

// AddCommandLineName: false only when the target list refuses the name.
bool AddCommandLineName(const QString& name, TargetListOps& targetList) {
  return targetList.Gaibu_ListInAdd(name);
}

}  // namespace

bool ParseCommandLine(const QString& text, TargetListOps& targetList) {
  targetList.RefreshForm();
  bool ok = true;
  qsizetype p = 0;
  while (p < text.size()) {
    if (text[p] == u'"') {
      const qsizetype close = text.indexOf(u'"', p + 1);
      if (close < 0) {
        ok = false;
        break;
      }
      const QString name = text.mid(p + 1, close - p - 1);
      if (!name.isEmpty() && !AddCommandLineName(name, targetList)) {
        ok = false;
        break;
      }
      p = close + 1;
      continue;
    }
    const qsizetype space = text.indexOf(u' ', p);
    const QString name = space < 0 ? text.mid(p) : text.mid(p, space - p);
    if (!name.isEmpty() && !AddCommandLineName(name, targetList)) {
      ok = false;
      break;
    }
    if (space < 0) break;
    p = space + 1;
  }
  if (!ok) targetList.RefreshForm();
  return ok;
}
