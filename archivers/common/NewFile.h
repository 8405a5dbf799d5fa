// A new file that takes its name only when it is whole, for the safe writer
// and for the program's copy of an archive. It is written unnamed (O_TMPFILE)
// where the file system and /proc allow it, so nothing of it outlives the
// process; otherwise under a hidden temporary name that every failure path
// removes, that carries our mark (LeftoverMark.h) and stays locked while in
// use, so that a later extraction can tell one left by a killed process from
// one in use or a file of someone else's that has the name
// (RemoveStaleTemporaries).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

// ".rukasu2-<16 hex digits>.part": hidden, and unlike any name an archive is
// likely to hold.
std::string TemporaryName();
bool IsTemporaryName(std::string_view name);

// Renames `temporary` to `leaf` in `folder`. Without `replace` an existing
// entry is never replaced (EEXIST). Returns 0 or the errno; the temporary
// entry stays where it was on failure.
int RenameInto(int folder, const std::string& temporary, const std::string& leaf, bool replace);

// Removes the temporary files of ours in `folder` that a killed extraction
// left: named as ours, with our mark, their maker gone and unlocked. Returns
// how many went.
size_t RemoveStaleTemporaries(int folder);

class NewFile {
 public:
  NewFile() = default;
  ~NewFile() { discard(); }
  NewFile(NewFile&& other) noexcept { *this = std::move(other); }
  NewFile& operator=(NewFile&& other) noexcept;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Whether unnamed files can be linked in at all here (/proc is there): the
  // starting value of the `unnamed` flag below.
  static bool UnnamedPossible();

  // Opens a new file in `folder`, which must stay open as long as this
  // NewFile does. Unnamed unless it is to `replace` an entry
  // (linking in never replaces) or `unnamed` says the file system cannot; a
  // file system that turns out unable clears `unnamed`. Invalid on failure,
  // with the errno in `err`.
  static NewFile Create(int folder, mode_t mode, bool replace, bool& unnamed, int& err);

  bool valid() const { return m_file.valid(); }
  int fd() const { return m_file.get(); }

  // Gives the whole file the name `leaf` and closes it (close() is where
  // some file systems report a full disk). Returns 0 or the errno; on failure
  // nothing of the file is left, and without `replace` an entry that
  // appeared meanwhile is kept (EEXIST). A refused link through /proc clears
  // `unnamed`.
  int place(const std::string& leaf, bool& unnamed);

  // Drops the file; its temporary name goes. The destructor does the same.
  void discard();

 private:
  int placeUnnamed(const std::string& leaf, bool& unnamed);
  int placeNamed(const std::string& leaf);

  int m_folder = -1;  // borrowed
  UniqueFd m_file;
  UniqueFd m_lock;          // a second descriptor that keeps the lock past close()
  std::string m_temporary;  // empty for an unnamed file
  bool m_replace = false;
};

}  // namespace rkarc
