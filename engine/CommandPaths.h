// The paths of one archive's module commands. A command puts each path
// between double quotes and has no way to escape one, and the ISH form takes
// the folder after the last " /F=". A path the command cannot carry is handed
// over as another path that names the same file or folder; every other path
// goes into the command as it is. Whatever was made for that is undone when
// the object goes, whatever happened in between.
#pragma once

#include <sys/types.h>

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "archivers/common/UniqueFd.h"
#include "text/MessageIds.h"

class CommandPaths {
 public:
  // Private links go into a folder of their own made under `tmpDir`.
  explicit CommandPaths(QString tmpDir);
  ~CommandPaths();
  CommandPaths(const CommandPaths&) = delete;
  CommandPaths& operator=(const CommandPaths&) = delete;

  // Each returns the path itself when the command can carry it, else a path
  // to the same place that it can, or the empty text when none could be
  // made (failure() then says why).
  //
  // A folder ("/" at the end): /proc/self/fd/N/ of a descriptor held here.
  QString folder(const QString& path);
  // The folder of the ISH form, which may hold quotes but not " /F=".
  QString ishFolder(const QString& path);
  // An archive: its folder as above and its name; a name with a quote is a
  // link in a private folder, named with "_" for each quote, beside the
  // same links to the files of its folder whose names begin like its own up
  // to the first dot, where a module looks for the other volumes of a set.
  QString archive(const QString& path);
  // A file the module is to make (the single-file form): made under a free
  // name in its real folder and given its own name by finish(), so that an
  // existing file is kept or replaced exactly as the module would have done.
  QString newFile(const QString& path);
  // A member name to select: each quote becomes "?", which matches it.
  static QString MemberPattern(const QString& name);
  // Makes a folder of its own under `tmpDir` (which must be absolute) and
  // returns its path with "/" at the end; empty when it cannot.
  static QString MakePrivateFolder(const QString& tmpDir);

  // Gives the files made under a free name their own names; the destructor
  // does it too. Call it once the module has returned.
  void finish();
  // The text of a module report with each stand-in path and name replaced
  // by the real one.
  QString realText(QString text) const;
  // The real name of a file the module named by its stand-in name.
  QString realName(const QString& name) const;

  std::optional<ProductMsg> failure() const { return m_failure; }

 private:
  struct MadeFile {
    int folder;   // a descriptor of m_folders
    QString free;  // the name the module makes
    QString name;  // the name it is to have
    bool linked;   // `free` was made as a second name of the existing file
    dev_t device;
    ino_t inode;
  };

  QString descriptorPath(const QString& folder);
  int openFolder(const QString& folder);
  QString mirror(const QString& folder, const QString& name);
  QString fail(ProductMsg why);

  QString m_tmpDir;
  QString m_private;  // the private folder ("/" at the end), made when first needed
  std::vector<std::string> m_entries;  // links and folders made in it, in order
  QHash<QString, int> m_open;               // folder -> its descriptor in m_folders
  std::vector<rkarc::UniqueFd> m_folders;
  std::vector<MadeFile> m_madeFiles;
  QList<QPair<QString, QString>> m_realPaths;  // stand-in path -> real path, longest first when read
  QList<QPair<QString, QString>> m_realNames;  // stand-in name -> real name
  std::optional<ProductMsg> m_failure;
};
