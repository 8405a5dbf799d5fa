// The program's command line: the names its arguments give, and handing
// them to the target list.
#pragma once

#include <QString>
#include <QStringList>

class TargetListOps;

// Each argument is one name, as the shell split it: empty ones are dropped,
// and a relative name is made absolute against `currentFolder` (a shell hands
// "*.zip" over as relative names). The removal switch "/U" stays as it is.
QStringList CommandLineNames(const QStringList& arguments, const QString& currentFolder);

// The names are exactly the removal switch "/U" (in either case).
bool IsRemovalSwitch(const QStringList& names);

// Empties the target list, then hands each name to Gaibu_ListInAdd, in order.
// A name the list refuses ends this with false and the list emptied again.
// The names it skipped (missing, a folder, no archive to extract) go to `skipped`.
bool ParseCommandLine(const QStringList& names, TargetListOps& targetList, QStringList* skipped = nullptr);
