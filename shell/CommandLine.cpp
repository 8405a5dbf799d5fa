// See CommandLine.h.
#include "shell/CommandLine.h"

#include <QDir>

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

bool ParseCommandLine(const QStringList& names, TargetListOps& targetList) {
  targetList.RefreshForm();
  for (const QString& name : names) {
    if (name.isEmpty() || targetList.Gaibu_ListInAdd(name)) continue;
    targetList.RefreshForm();
    return false;
  }
  return true;
}
