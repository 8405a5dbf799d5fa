// One folder pane's folder aliases: up to ten (name, folder) pairs, the used
// slots first without gaps, kept under the keys <prefix>_DirName<n> and
// <prefix>_DirDir<n> (n = 0..9; prefix "Dir_In" or "Dir_Out").
#pragma once

#include <QList>
#include <QString>

class SettingsStore;
struct StoreLocation;

struct FolderAlias {
  QString name;
  QString folder;
  bool operator==(const FolderAlias&) const = default;
};

class FolderAliasList {
 public:
  static constexpr int kSlots = 10;

  int count() const { return static_cast<int>(m_aliases.size()); }
  // The index of the last alias, -1 for none.
  int last() const { return count() - 1; }
  bool isFull() const { return count() >= kSlots; }
  const FolderAlias& at(int slot) const { return m_aliases[slot]; }
  const QList<FolderAlias>& aliases() const { return m_aliases; }

  // True when an alias has exactly this name (letter case counts).
  bool containsName(const QString& name) const;
  // Appends the alias; false when the list is full or the name or folder is empty.
  bool append(const QString& name, const QString& folder);
  // Takes the pairs up to the first one with an empty name or folder, at most ten.
  void assign(const QList<FolderAlias>& aliases);

  // Reads slots 0 upwards until the first slot whose name or folder is empty
  // (or cannot be read); the slots before it form the list.
  void load(SettingsStore& store, const StoreLocation& at, const QString& prefix);
  // Writes every used slot and empties every later one, so that a shortened
  // list leaves nothing stale behind.
  void save(SettingsStore& store, const StoreLocation& at, const QString& prefix) const;

 private:
  QList<FolderAlias> m_aliases;
};
