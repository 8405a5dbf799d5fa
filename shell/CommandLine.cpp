// See CommandLine.h.
#include "shell/CommandLine.h"

#include <QDir>
#include <QSet>

#include "engine/PathHelpers.h"
#include "settings/SettingsRemoval.h"
#include "ui/WindowInterfaces.h"

QStringList CommandLineNames(const QStringList& arguments, const QString& currentFolder) {
  QStringList names;
  for (const QString& argument : arguments) {
    if (argument.isEmpty()) continue;
    names << (argument.startsWith(u'/') ? argument : QDir(currentFolder).absoluteFilePath(argument));
  }
  return names;
}

bool IsRemovalSwitch(const QStringList& names) { return names.size() == 1 && IsRemovalSwitch(names.first()); }

bool ParseCommandLine(const QStringList& names, TargetListOps& targetList, QStringList* skipped) {
  targetList.RefreshForm();
  QSet<QString> listed;  // a name given twice is listed once, not skipped
  for (const QString& name : names) {
    if (name.isEmpty()) continue;
    const int before = targetList.count();
    if (!targetList.Gaibu_ListInAdd(name)) {
      targetList.RefreshForm();
      return false;
    }
    if (targetList.count() > before)
      listed.insert(targetList.entry(before));
    else if (skipped && !listed.contains(LongPath_Get(name)))
      *skipped << name;
  }
  return true;
}
