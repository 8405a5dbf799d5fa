// What happens to an archive after a successful extraction: copied or moved
// into the output folder, or deleted. Never destroys data: a copy never
// replaces a different file, a move deletes only after a complete copy,
// nothing is deleted when the archive changed since its extraction began,
// and an archive whose members were skipped is not deleted.
#pragma once

#include <QString>
#include <sys/stat.h>

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
  DeleteDenied,      // the archive could not be deleted: access denied
  DeleteFailed,      // deleting failed for another reason
  DeleteKeptSkipped,  // not deleted: members were skipped, so the archive holds data found nowhere else
  CopyFailed,        // the copy could not be made; a move keeps the archive
  TargetDiffers,     // a different file of that name is in the output folder
  ArchiveChanged,    // the archive is no longer the file that was extracted
};

// action: 1 Copy, 2 Move, 3 Delete; anything else does nothing.
// `everyMemberWritten`: the library result was 0, not a count of skipped files.
PostResult ApplyPostAction(int action, bool everyMemberWritten, const QString& arc, const QString& outFolder,
                           const FileIdentity& before);
