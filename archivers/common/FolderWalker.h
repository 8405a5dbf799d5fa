// Opens folders below the output folder one component at a time with
// O_NOFOLLOW, making missing ones, so that no member is ever written through
// a symbolic link, whoever made the link.
#pragma once

#include <sys/types.h>

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "archivers/common/UniqueFd.h"
#include "archivers/common/WriteFailure.h"

namespace rkarc {

class FolderWalker {
 public:
  // Opens the output folder itself (a link there is the user's choice and is followed).
  explicit FolderWalker(const std::string& root);

  bool ok() const { return m_root.valid(); }
  int openError() const { return m_openError; }

  // Opens the folders parts[0..count) below the output folder; with `create`
  // missing ones are made (0777, the umask applies, the owner always gets rwx)
  // and the first open of an existing one for writing removes the stale
  // temporary files of ours in it (RemoveStaleTemporaries).
  UniqueFd open(const std::vector<std::string>& parts, size_t count, bool create, WriteFailure& why);

  // A folder member: makes `name` in `parent` with `mode` (forced u+rwx), or
  // uses the folder that is already there. `relative` is its path below the
  // output folder, remembered when the folder is made here. A folder made in
  // this extraction takes `mode` (within the umask) in applyFolderModes(), so
  // that a read-only one is still filled first.
  UniqueFd makeFolder(int parent, const std::string& name, const std::string& relative, mode_t mode,
                      WriteFailure& why);
  // Gives the folder members their modes, deepest first; once, at the end.
  void applyFolderModes();

  // The folders this walker made, below the output folder, in the order made.
  const std::vector<std::string>& madeFolders() const { return m_made; }
  // Removes the made folders that are empty, deepest first, and forgets them;
  // with `keepMembers` not those made for folder members of the archive (an
  // empty folder is what such a member asks for).
  void removeMadeFolders(bool keepMembers = false);
  // Drops the last opened folder, so that the next open walks from the
  // output folder again (its cached folder may have been moved meanwhile).
  void forgetCached();

  // "a/b/c" as {"a", "b", "c"}.
  static std::vector<std::string> Split(const std::string& relative);

 private:
  UniqueFd step(int parent, const std::string& name, bool create, mode_t mode, WriteFailure& why,
                bool* made = nullptr);
  void sweepOnce(const std::string& path, int fd);

  UniqueFd m_root;
  int m_openError = 0;
  // The last folder opened, since members of one folder usually come together.
  std::string m_cachedPath;
  UniqueFd m_cachedFd;
  std::vector<std::string> m_made;
  std::unordered_set<std::string> m_memberFolders;
  std::vector<std::pair<std::string, mode_t>> m_lateModes;  // folder members whose mode waits for the end
  std::unordered_set<std::string> m_swept;  // "a/b/": folders cleared of stale temporary files
};

}  // namespace rkarc
