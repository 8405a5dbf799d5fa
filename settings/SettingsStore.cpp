// See SettingsStore.h. QSettings saves an INI file through QSaveFile (a new
// file renamed over the old one, so a failed save leaves the earlier file
// whole) under a QLockFile (so two running copies take turns and each merges
// the other's keys). Its error status, once set, never clears, so a section
// whose save failed gets a fresh QSettings before the next attempt.
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

struct SettingsStore::Section {
  QString path;
  std::unique_ptr<QSettings> settings;
  // Values taken since the last successful sync, applied again to a fresh
  // QSettings after a failed one.
  QHash<QString, QString> unsynced;
  bool unreadable = false;
  bool failed = false;
};

namespace {

// Application keys and sections become a folder and a file name.
bool UsableName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// QSettings reads "/" and "\" in a key as group separators; every key of this
// program lives at the top level.
bool UsableKey(const QString& key) {
  return !key.isEmpty() && !key.contains(QLatin1Char('/')) && !key.contains(QLatin1Char('\\'));
}

std::unique_ptr<QSettings> OpenIni(const QString& path) {
  return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

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
  entry->settings = OpenIni(entry->path);
  entry->unreadable = entry->settings->status() != QSettings::NoError;
  return m_sections.emplace(key, std::move(entry)).first->second.get();
}

std::optional<QString> SettingsStore::read(const QString& application, const QString& sectionName, const QString& key,
                                           const QString& defaultValue) {
  Section* entry = section(application, sectionName);
  if (!entry || entry->unreadable || !UsableKey(key)) return std::nullopt;
  const QVariant value = entry->settings->value(key);
  if (!value.isValid()) return defaultValue;
  switch (value.typeId()) {
    case QMetaType::QString:
      return value.toString();
    case QMetaType::QStringList:
      // An unquoted comma in a hand-edited file splits the value into a list.
      return value.toStringList().join(QLatin1Char(','));
    case QMetaType::QByteArray:
      return QString::fromUtf8(value.toByteArray());
    default:
      return std::nullopt;
  }
}

bool SettingsStore::write(const QString& application, const QString& sectionName, const QString& key,
                          const QString& value) {
  Section* entry = section(application, sectionName);
  if (!entry || !UsableKey(key)) return false;
  entry->settings->setValue(key, value);
  entry->unsynced.insert(key, value);
  return true;
}

bool SettingsStore::syncSection(Section& entry) {
  if (entry.failed) {
    // Made before the old one goes, so that QSettings' shared copy of the file
    // keeps the changes; they are applied again all the same.
    auto fresh = OpenIni(entry.path);
    for (auto it = entry.unsynced.cbegin(); it != entry.unsynced.cend(); ++it) fresh->setValue(it.key(), it.value());
    entry.settings = std::move(fresh);
    entry.failed = false;
  }
  entry.settings->sync();
  if (entry.settings->status() != QSettings::NoError) {
    entry.failed = true;
    return false;
  }
  entry.unsynced.clear();
  entry.unreadable = false;
  return true;
}

bool SettingsStore::sync() {
  bool allWritten = true;
  for (auto& [key, entry] : m_sections) {
    if (entry->unsynced.isEmpty() && !entry->failed) continue;
    allWritten = syncSection(*entry) && allWritten;
  }
  return allWritten;
}

void SettingsStore::forget(const SectionKey& key) {
  auto found = m_sections.find(key);
  if (found == m_sections.end()) return;
  // Cleared first, so that no change waiting in QSettings' shared copy of the
  // file comes back after the file is gone.
  found->second->settings->clear();
  m_sections.erase(found);
}

bool SettingsStore::removeSection(const QString& application, const QString& sectionName) {
  if (!UsableName(application) || !UsableName(sectionName)) return false;
  forget({application, sectionName});
  const QString path = filePath(application, sectionName);
  QFile::remove(path);
  return !QFileInfo::exists(path);
}

bool SettingsStore::removeApplication(const QString& application) {
  if (!UsableName(application)) return false;
  for (auto it = m_sections.begin(); it != m_sections.end();) {
    auto next = std::next(it);
    if (it->first.first == application) forget(it->first);
    it = next;
  }
  QDir folder(m_root + QLatin1Char('/') + application);
  if (!folder.exists()) return true;
  // Only the section files: a lock file may belong to another running copy.
  const QStringList sections = folder.entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden);
  bool removed = true;
  for (const QString& name : sections) removed = folder.remove(name) && removed;
  QDir(m_root).rmdir(application);
  return removed;
}
