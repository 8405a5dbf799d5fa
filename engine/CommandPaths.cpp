// Stand-in paths for module commands; see CommandPaths.h.
#include "engine/CommandPaths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>

#include "archivers/common/NewFile.h"
#include "platform/FileName.h"
#include "platform/FolderReader.h"

namespace {

// Whether a quoted command can carry the path as it is.
bool Quotable(const QString& path) { return !path.contains(u'"'); }

// Hidden, and unlike the safe writer's own temporary names, which it may
// remove from the folder as left over.
QString FreeName() {
  return QStringLiteral(".rukasu2-%1.new").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace

CommandPaths::CommandPaths(QString tmpDir) : m_tmpDir(std::move(tmpDir)) {}

CommandPaths::~CommandPaths() {
  finish();
  // Only what was made here: links are removed as links, never followed.
  for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
    if (::unlink(it->c_str()) != 0 && errno == EISDIR) ::rmdir(it->c_str());
  if (!m_private.isEmpty()) ::rmdir(NativePath(m_private).c_str());
}

QString CommandPaths::MakePrivateFolder(const QString& tmpDir) {
  // A relative TmpDir would resolve against whatever the current folder is.
  if (!tmpDir.startsWith(u'/')) return {};
  std::string pattern = NativePath(tmpDir + (tmpDir.endsWith(u'/') ? "" : "/") + QStringLiteral("rukasu2-XXXXXX"));
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return FileNameFromBytes(pattern) + u'/';
}

QString CommandPaths::MemberPattern(const QString& name) { return QString(name).replace(u'"', u'?'); }

QString CommandPaths::fail(ProductMsg why) {
  if (!m_failure) m_failure = why;
  return {};
}

int CommandPaths::openFolder(const QString& folder) {
  if (const auto it = m_open.constFind(folder); it != m_open.constEnd()) return m_folders[size_t(*it)].get();
  // O_PATH: entering the folder is all a module needs, as with its real path.
  rkarc::UniqueFd fd(::open(NativePath(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return -1;
  m_open.insert(folder, int(m_folders.size()));
  m_folders.push_back(std::move(fd));
  return m_folders.back().get();
}

QString CommandPaths::descriptorPath(const QString& folder) {
  const int fd = openFolder(folder);
  const QString path = QStringLiteral("/proc/self/fd/%1/").arg(fd);
  // Without /proc the path would name nothing, or something else.
  struct stat byPath {}, byFd {};
  if (fd < 0 || ::stat(NativePath(path).c_str(), &byPath) != 0 || ::fstat(fd, &byFd) != 0 || !SameFile(byPath, byFd))
    return fail(ProductMsg::LogStandInFailed);
  if (!m_realPaths.contains({path, folder})) m_realPaths.append({path, folder});
  return path;
}

QString CommandPaths::folder(const QString& path) { return Quotable(path) ? path : descriptorPath(path); }

QString CommandPaths::ishFolder(const QString& path) {
  return path.contains(QStringLiteral(" /F=")) ? descriptorPath(path) : path;
}

QString CommandPaths::archive(const QString& path) {
  if (Quotable(path)) return path;
  const qsizetype slash = path.lastIndexOf(u'/');
  const QString parent = path.left(slash + 1), name = path.mid(slash + 1);
  if (!Quotable(name)) return mirror(parent, name);
  const QString standIn = folder(parent);
  return standIn.isEmpty() ? QString() : standIn + name;
}

QString CommandPaths::mirror(const QString& parent, const QString& name) {
  if (m_private.isEmpty()) m_private = MakePrivateFolder(m_tmpDir);
  if (m_private.isEmpty()) return fail(ProductMsg::LogTmpDirUnusable);
  const QString dir = m_private + QString::number(m_entries.size()) + u'/';
  if (::mkdir(NativePath(dir).c_str(), 0700) != 0) return fail(ProductMsg::LogStandInFailed);
  m_entries.push_back(NativePath(dir));
  const QString standIn = folder(dir);  // TmpDir itself may hold a quote
  if (standIn.isEmpty()) return {};
  m_realPaths.append({standIn, parent});
  auto link = [&](const QString& real) {
    const QString alias = QString(real).replace(u'"', u'_');
    const std::string at = NativePath(dir + alias);
    if (::symlink(NativePath(parent + real).c_str(), at.c_str()) != 0) return false;  // a sibling's alias may be taken
    m_entries.push_back(at);
    m_realPaths.append({standIn + alias, parent + real});
    if (alias != real) m_realNames.append({alias, real});
    return true;
  };
  if (!link(name)) return fail(ProductMsg::LogStandInFailed);
  // A report may name a volume that is missing, which has no link: the name
  // up to its last quote is replaced wherever it appears.
  const QString quoted = name.left(name.lastIndexOf(u'"') + 1);
  m_realNames.append({QString(quoted).replace(u'"', u'_'), quoted});
  // The volumes of a set share the name up to its first dot (or all of it).
  const QString stem = name.left(name.indexOf(u'.'));
  const auto siblings = ReadFolderEntries(parent, FolderEntryKind::Files, [&](const QString& sibling) {
    return sibling != name && sibling.startsWith(stem, Qt::CaseInsensitive);
  });
  for (const QString& sibling : siblings.value_or(QStringList())) link(sibling);
  return standIn + QString(name).replace(u'"', u'_');
}

QString CommandPaths::newFile(const QString& path) {
  if (Quotable(path)) return path;
  const qsizetype slash = path.lastIndexOf(u'/');
  const QString parent = path.left(slash + 1), name = path.mid(slash + 1);
  const QString standIn = folder(parent);
  if (standIn.isEmpty()) return {};
  if (Quotable(name)) return standIn + name;
  const int dir = openFolder(parent);
  struct stat existing {};
  const bool existed = dir >= 0 && ::fstatat(dir, NativePath(name).c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  // A folder of that name would make the module name the file itself.
  if (dir < 0 || (existed && S_ISDIR(existing.st_mode))) return fail(ProductMsg::LogStandInFailed);
  QString free;
  struct stat st {};
  for (int attempt = 0; attempt < 16 && free.isEmpty(); ++attempt) {
    free = FreeName();
    if (::fstatat(dir, NativePath(free).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT) free.clear();
  }
  if (free.isEmpty()) return fail(ProductMsg::LogStandInFailed);
  // The existing file under the free name too: the module keeps or replaces
  // it as its options say, and finish() can tell which it did.
  if (existed && (::linkat(dir, NativePath(name).c_str(), dir, NativePath(free).c_str(), 0) != 0 ||
                  ::fstatat(dir, NativePath(free).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0))
    return fail(ProductMsg::LogStandInFailed);
  m_madeFiles.push_back({dir, free, name, existed, st.st_dev, st.st_ino});
  m_realPaths.append({standIn + free, path});
  m_realNames.append({free, name});
  return standIn + free;
}

void CommandPaths::finish() {
  for (MadeFile& file : m_madeFiles) {
    if (file.free.isEmpty()) continue;
    const std::string free = NativePath(file.free);
    struct stat st {};
    if (::fstatat(file.folder, free.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      const bool kept = file.linked && st.st_dev == file.device && st.st_ino == file.inode;
      // Without the module's leave to replace, a file that took the name
      // meanwhile is kept, as the module keeps an existing file.
      if (kept || rkarc::RenameInto(file.folder, free, NativePath(file.name), file.linked) != 0)
        ::unlinkat(file.folder, free.c_str(), 0);
    }
    file.free.clear();
  }
}

QString CommandPaths::realText(QString text) const {
  QList<QPair<QString, QString>> pairs = m_realPaths + m_realNames;
  if (pairs.isEmpty()) return text;
  std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
  // One pass, longest first, so that a replaced text is never replaced
  // again. Plain comparison: a name that is not UTF-8 holds lone surrogates,
  // which no regular expression takes.
  QString out;
  for (qsizetype at = 0; at < text.size();) {
    const auto pair = std::find_if(pairs.cbegin(), pairs.cend(), [&](const auto& p) {
      return !p.first.isEmpty() && QStringView(text).mid(at).startsWith(p.first);
    });
    if (pair == pairs.cend()) {
      out += text[at++];
      continue;
    }
    out += pair->second;
    at += pair->first.size();
  }
  return out;
}

QString CommandPaths::realName(const QString& name) const {
  for (const auto& [standIn, real] : m_realNames)
    if (standIn == name) return real;
  return name;
}
