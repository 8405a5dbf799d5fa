// See SettingsStore.h. A section's file is read once, when its first key is
// asked for. A save takes the file's lock (the lock file QSettings takes too,
// so that copies of earlier builds take turns with this one), reads the file
// again to keep what another copy saved meanwhile, puts this copy's changes
// over it and replaces the file whole. A file that was not read whole is kept
// beside the new one as "<name>.bak" rather than overwritten.
#include "settings/SettingsStore.h"

#include <cerrno>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringList>

#include "settings/IniFile.h"

struct SettingsStore::Section {
  QString path;
  IniText text;     // what the file held, with every change taken since
  IniText changes;  // the values taken since the last successful save
  // The file held what was not understood, or could not be read: it is kept
  // as "<name>.bak" rather than lost.
  bool notWhole = false;
  // The notice of the unreadable file said already that saving would fail.
  bool saveFailureSaid = false;
};

namespace {

// A save of another copy takes milliseconds; QLockFile takes a lock whose
// holder has died, or which is older than its stale time, over at once.
constexpr int kLockWaitMs = 5000;

// Application keys and sections become a folder and a file name.
bool UsableName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// "/" and "\" in a key stand for groups in the file; every key of this program
// lives at the top level.
bool UsableKey(const QString& key) {
  return !key.isEmpty() && !key.contains(QLatin1Char('/')) && !key.contains(QLatin1Char('\\'));
}

bool IsFolderError(int error) { return error == EACCES || error == EROFS; }

}  // namespace

SettingsStore::SettingsStore()
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) {}

SettingsStore::SettingsStore(const QString& rootFolder) : m_root(rootFolder) {}

SettingsStore::~SettingsStore() { sync(); }

QString SettingsStore::filePath(const QString& application, const QString& section) const {
  return m_root + QLatin1Char('/') + application + QLatin1Char('/') + section + QLatin1String(".ini");
}

SettingsStore::Section* SettingsStore::section(const QString& application, const QString& sectionName) {
  if (!UsableName(application) || !UsableName(sectionName)) return nullptr;
  const SectionKey key{application, sectionName};
  auto found = m_sections.find(key);
  if (found != m_sections.end()) return found->second.get();
  auto entry = std::make_unique<Section>();
  entry->path = filePath(application, sectionName);
  const IniRead file = ReadIniFile(entry->path);
  entry->text = file.text;
  entry->notWhole = file.error != 0 || file.text.damagedLines() > 0;
  if (file.error) {
    entry->saveFailureSaid = ReplaceRefusal(entry->path).error != 0;
    fault({SettingsFault::Kind::Unreadable, entry->path, file.error, false, 0, entry->saveFailureSaid});
  } else if (file.text.damagedLines() > 0) {
    // A file that cannot be written is neither kept as .bak nor saved: said
    // here once, not contradicted by a second notice at the save.
    entry->saveFailureSaid = ReplaceRefusal(entry->path).error != 0;
    fault({SettingsFault::Kind::Damaged, entry->path, 0, false, file.text.damagedLines(), entry->saveFailureSaid});
  }
  return m_sections.emplace(key, std::move(entry)).first->second.get();
}

std::optional<QString> SettingsStore::read(const QString& application, const QString& sectionName, const QString& key,
                                           const QString& defaultValue) {
  Section* entry = section(application, sectionName);
  if (!entry || !UsableKey(key)) return std::nullopt;
  const QByteArray* raw = entry->text.raw(key);
  if (!raw) return defaultValue;
  return IniValueText(*raw);
}

bool SettingsStore::write(const QString& application, const QString& sectionName, const QString& key,
                          const QString& value) {
  Section* entry = section(application, sectionName);
  if (!entry || !UsableKey(key)) return false;
  entry->text.setText(key, value);
  entry->changes.setText(key, value);
  return true;
}

bool SettingsStore::saveSection(Section& entry) {
  auto failed = [&](const IniWrite& why) {
    if (!entry.saveFailureSaid) fault({SettingsFault::Kind::NotSaved, entry.path, why.error, why.inFolder, 0, false});
    return false;
  };
  if (const int error = MakeFolders(QFileInfo(entry.path).absolutePath())) return failed({error, true});
  QLockFile lock(entry.path + QLatin1String(".lock"));
  const bool locked = lock.tryLock(kLockWaitMs);
  if (!locked && lock.error() == QLockFile::LockFailedError) return failed({EBUSY, false});
  // Without the lock (the folder refuses the lock file) the steps below find out why.
  if (locked) RemoveStaleTemporaries(entry.path);
  if (const IniWrite refusal = ReplaceRefusal(entry.path); refusal.error) return failed(refusal);

  const IniRead disk = ReadIniFile(entry.path);
  IniText merged = disk.error ? entry.text : disk.text;
  merged.merge(entry.changes);
  const bool keepOld = disk.exists && (disk.error != 0 || disk.text.damagedLines() > 0);
  if (const IniWrite written = ReplaceIniFile(entry.path, merged.format(), keepOld); written.error)
    return failed(written);
  entry.text = std::move(merged);
  entry.changes.clear();
  entry.notWhole = entry.saveFailureSaid = false;
  return true;
}

bool SettingsStore::sync() {
  bool allWritten = true;
  for (auto& [key, entry] : m_sections)
    if (!entry->changes.isEmpty()) allWritten = saveSection(*entry) && allWritten;
  return allWritten;
}

void SettingsStore::fault(SettingsFault fault) {
  // A save tried again in the same close fails for the same reason: one notice.
  for (const SettingsFault& pending : m_faults)
    if (pending.kind == fault.kind && pending.path == fault.path && pending.error == fault.error) return;
  m_faults << std::move(fault);
}

QList<SettingsFault> SettingsStore::takeFaults() { return std::exchange(m_faults, {}); }

void SettingsStore::forget(const SectionKey& key) { m_sections.erase(key); }

bool SettingsStore::removeSection(const QString& application, const QString& sectionName) {
  if (!UsableName(application) || !UsableName(sectionName)) return false;
  forget({application, sectionName});
  const QString path = filePath(application, sectionName);
  RemoveFile(path + QLatin1String(".bak"));
  if (const int error = RemoveFile(path)) {
    fault({SettingsFault::Kind::NotRemoved, path, error, IsFolderError(error), 0, false});
    return false;
  }
  return true;
}

bool SettingsStore::removeApplication(const QString& application) {
  if (!UsableName(application)) return false;
  // Only the sections this store read or wrote: another file in the folder,
  // whatever its name, is not known to be a settings file.
  bool removed = true;
  for (auto it = m_sections.begin(); it != m_sections.end();) {
    if (it->first.first != application) {
      ++it;
      continue;
    }
    const QString path = it->second->path;
    const bool notWhole = it->second->notWhole && QFileInfo::exists(path);
    it = m_sections.erase(it);
    if (const int error = notWhole ? KeepAsBackup(path) : RemoveFile(path)) {
      fault({SettingsFault::Kind::NotRemoved, path, error, IsFolderError(error), 0, false});
      removed = false;
    }
  }
  QDir(m_root).rmdir(application);
  return removed;
}
