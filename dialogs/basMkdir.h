// The make-folder command: ask for a folder name, check it, and make the
// folder inside the destination folder. Each step shows its own message boxes.
// The process's current folder is never changed.
#pragma once

#include <QString>

class QWidget;
struct AppContext;

// Asks for a name and makes that folder inside `parent`; the new folder's
// full path, or empty when nothing was made (cancelled, refused, failed).
QString MakeFolder(QWidget* owner, const QString& parent);
// The input box; the accepted name as typed, or empty.
QString AskFolderName(QWidget* owner, const QString& parent);
// True when the name passes the checks; otherwise shows the message of the
// first that fails.
bool CheckFolderName(QWidget* owner, const QString& name);
// The parent and the name with one "/" between them; empty for a parent that
// is not an absolute path (nothing is ever made relative to the current folder).
QString NewFolderPath(const QString& parent, const QString& name);

// The M(&k)dir command: a new folder inside the destination pane's folder;
// the destination pane moves to it and the source pane is refreshed.
void MakeFolderCommand(AppContext& context);
