// The inside of a SafeWriter: the output folder, what this extraction has
// made, the failures and kept files counted so far, and the steps that files,
// links and folders share (temporary names, checking what exists, renaming).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archivers/common/FolderWalker.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/common/UniqueFd.h"
#include "archivers/common/WriteFailure.h"

namespace rkarc {

struct SafeWriter::State {
  State(const std::string& rootPath, Options writerOptions, Report& writerReport);

  // What is at a member's name before it is written.
  enum class Existing { None, Replace, Keep, Refused };
  Existing checkExisting(int folder, const std::string& leaf, const std::string& key, std::string_view display);

  // Creates a temporary entry with `create(name)` (which returns
  // false with errno set); returns its name, or an empty string after
  // recording the failure.
  std::string createTemporary(const std::function<bool(const std::string&)>& create, std::string_view display);

  // Renames the finished temporary entry to `leaf`. Without `replace` an
  // entry that appeared meanwhile is kept. False when the member was not placed.
  bool place(int folder, const std::string& temporary, const std::string& leaf, bool replace,
             std::string_view display);

  // After a member could not take its name: an entry that appeared
  // meanwhile is kept (unless replacing), any other errno fails the member.
  void placementFailed(std::string_view display, int err, bool replace);

  // Remembers an entry this extraction made, so that a later duplicate may
  // replace it and a hard link may point at it.
  void remember(const std::string& key, const struct stat& st);
  bool madeRegularFile(const std::string& key, const struct stat& st) const;

  void fail(std::string_view display, int32_t code, std::string_view reason);
  void fail(std::string_view display, const WriteFailure& failure);
  void failErrno(std::string_view display, int err) { fail(display, WriteFailure::FromErrno(err)); }
  void keep(std::string_view display);

  struct Made {
    dev_t dev;
    ino_t ino;
    bool regular;
  };

  std::string root;  // without trailing '/'
  Options options;
  Report& report;
  FolderWalker walker;
  std::unordered_map<std::string, Made> made;
  std::set<MemberSinkImpl*> liveSinks;
  // Folders made for members whose stored mode lacks some of u+rwx, by key,
  // with that mode: set when the writer ends, after they were filled.
  std::map<std::string, mode_t> lateFolderModes;
  int32_t failure = 0;
  uint32_t kept = 0;
  bool stop = false;
  bool unnamedFiles = true;  // cleared when O_TMPFILE or /proc/self/fd is not there (NewFile)
};

}  // namespace rkarc
