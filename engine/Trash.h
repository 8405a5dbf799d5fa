// Moving a file into the desktop's Trash (the freedesktop.org trash), so
// that a file manager can restore it: the home trash when the file lies on
// its file system, else the user's trash at the top of the file's own file
// system. Names are bytes, UTF-8 or not; the file is never copied.
#pragma once

#include <QString>

enum class TrashResult {
  Trashed,
  NoTrash,  // no trash can take the file without copying it
  Failed,   // the trash is there, but the file could not be moved (err)
};

TrashResult MoveToTrash(const QString& path, int& err);
