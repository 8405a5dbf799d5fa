// What happens to an archive after an extraction that JudgeArchive let it
// leave: copied or moved into the output folder, or put in the Trash. A
// volume set is one archive of several files. Never destroys data: a copy
// never replaces a different file, a move removes only after every file is
// copied and never when the archive lies in the output folder already,
// nothing is removed when the archive changed since its extraction began,
// and a deleted archive goes to the Trash wherever there is one.
#pragma once

#include <QString>
#include <sys/stat.h>
#include <vector>

// The identity of a file (device, inode, size, modification time) taken when
// its extraction began.
struct FileIdentity {
  bool valid = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};

  static FileIdentity Of(const QString& path);
  bool sameAs(const FileIdentity& other) const;
};

enum class PostResult {
  Done,
  DeletedOutright,   // no Trash takes the archive there: it was removed
  DeleteDenied,      // the archive could not be deleted: access denied
  DeleteFailed,      // deleting failed for another reason
  CopyFailed,        // the copy could not be made; a move keeps the archive
  TargetDiffers,     // a different file of that name is in the output folder
  ArchiveChanged,    // the archive is no longer the file that was extracted
};

// One file of the archive (a volume set has several) and its identity when
// its extraction began.
struct ArchivePart {
  QString path;
  FileIdentity before;
};

// action: 1 Copy, 2 Move, 3 Delete; anything else does nothing.
PostResult ApplyPostAction(int action, const std::vector<ArchivePart>& files, const QString& outFolder);
