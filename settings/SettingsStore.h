// The per-user settings store: text values addressed by application key,
// section and key, kept in $XDG_CONFIG_HOME/<application key>/<section>.ini
// (keys under "[General]", as QSettings writes them).
//
// Nothing in a file stops the store: an unreadable file reads as empty, a
// damaged line costs its own key only. Whatever goes wrong with a file is
// kept as a SettingsFault for the program to tell the user.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include <QList>
#include <QString>

#include "settings/SettingsFault.h"

class SettingsStore {
 public:
  // The store under the user's configuration folder ($XDG_CONFIG_HOME, by
  // default ~/.config), as it is when the store is made.
  SettingsStore();
  // The store under another folder.
  explicit SettingsStore(const QString& rootFolder);
  // Writes what was not yet written, as sync() does.
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  const QString& rootFolder() const { return m_root; }
  // The file that holds a section.
  QString filePath(const QString& application, const QString& section) const;

  // The stored text, or defaultValue when the key is absent (also when the
  // file cannot be read). Empty when the names address no file or the value is
  // not a text (a hand-edited typed value such as @Variant(...)).
  std::optional<QString> read(const QString& application, const QString& section, const QString& key,
                              const QString& defaultValue);
  // Takes the value in memory; sync() puts it on disk. False when the names
  // cannot address a file.
  bool write(const QString& application, const QString& section, const QString& key, const QString& value);
  // Writes every section changed since its last successful save. True when
  // all of them reached the disk; a failed section keeps its changes and its
  // earlier file, and is tried again by the next sync.
  bool sync();

  // Removes a section with all its keys (its file, and its backup). Changes
  // not yet written to it are dropped. True when nothing of it is left.
  bool removeSection(const QString& application, const QString& section);
  // Removes an application key with the sections this store read or wrote
  // (their files, then the folder when it is empty); a file that was not read
  // whole is kept as "<name>.bak". True when none of them is left.
  bool removeApplication(const QString& application);

  // What went wrong since the last call, in order; each fault is given once.
  QList<SettingsFault> takeFaults();

 private:
  struct Section;
  using SectionKey = std::pair<QString, QString>;

  Section* section(const QString& application, const QString& section);
  void forget(const SectionKey& key);
  bool saveSection(Section& entry);
  void fault(SettingsFault fault);

  QString m_root;
  std::map<SectionKey, std::unique_ptr<Section>> m_sections;
  QList<SettingsFault> m_faults;
};
