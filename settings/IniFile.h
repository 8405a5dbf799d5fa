// One settings file on disk: read whole or not at all, and replaced by a
// complete new file renamed over it, so that a save cut off at any point
// leaves the earlier file whole. Failures come back as errno values.
#pragma once

#include <QByteArray>
#include <QString>

#include "settings/IniText.h"

struct IniRead {
  IniText text;
  bool exists = false;
  int error = 0;  // the file exists but could not be read
};

IniRead ReadIniFile(const QString& path);

struct IniWrite {
  int error = 0;
  bool inFolder = false;  // the error came from the folder (making or renaming files in it)
};

// Why `path` may not be replaced (error 0 when it may): a read-only file is
// respected although its folder would allow replacing it, and a folder this
// process may not write in is found before anything is written.
IniWrite ReplaceRefusal(const QString& path);

// Writes `bytes` into a new file beside `path` ("<name>.XXXXXX") and renames it
// over `path`. With keepOld the earlier file is first kept as "<name>.bak".
IniWrite ReplaceIniFile(const QString& path, const QByteArray& bytes, bool keepOld);

// Removes the new files that a save cut off left beside `path`: only those
// that carry the mark a save puts on its new file until it is whole, and
// whose maker has ended. Only for the holder of the file's lock, as every
// save of the file holds it.
void RemoveStaleTemporaries(const QString& path);

// Makes a folder and its parents; 0 or errno.
int MakeFolders(const QString& folder);
// Removes a file; 0 when it is gone or was never there, else errno.
int RemoveFile(const QString& path);
// Renames a file to "<name>.bak" (over an earlier one); 0 or errno.
int KeepAsBackup(const QString& path);
