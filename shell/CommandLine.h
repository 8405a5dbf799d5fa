// The program's command line: the argument text built from argv, and the
// parsing of that text into names for the target list.
#pragma once

#include <QString>
#include <QStringList>

class TargetListOps;

// Joins the arguments into one argument text in which each argument stays one
// name: an argument holding a blank is put in double quotes, and a relative
// name is made absolute against `currentFolder` (a shell hands "*.zip" over as
// relative names). The removal switch "/U" stays as it is.
QString ArgumentText(const QStringList& arguments, const QString& currentFolder);

// Empties the target list, then hands each name of the text to
// Gaibu_ListInAdd, in order. Blanks separate names; a name in double quotes
// may hold blanks; an unclosed quote, or a name the list refuses, ends the
// parsing with false and the list emptied again.
bool ParseCommandLine(const QString& text, TargetListOps& targetList);
