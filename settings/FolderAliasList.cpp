// See FolderAliasList.h.
#include "settings/FolderAliasList.h"

#include "settings/SettingsField.h"

namespace {

QString NameKey(const QString& prefix, int slot) { return prefix + QStringLiteral("_DirName") + QString::number(slot); }
QString FolderKey(const QString& prefix, int slot) {
  return prefix + QStringLiteral("_DirDir") + QString::number(slot);
}

}  // namespace

bool FolderAliasList::containsName(const QString& name) const {
  for (const FolderAlias& alias : m_aliases)
    if (alias.name == name) return true;
  return false;
}

bool FolderAliasList::append(const QString& name, const QString& folder) {
  if (isFull() || name.isEmpty() || folder.isEmpty()) return false;
  m_aliases.append({name, folder});
  return true;
}

void FolderAliasList::assign(const QList<FolderAlias>& aliases) {
  m_aliases.clear();
  for (const FolderAlias& alias : aliases)
    if (!append(alias.name, alias.folder)) break;
}

void FolderAliasList::load(SettingsStore& store, const StoreLocation& at, const QString& prefix) {
  m_aliases.clear();
  for (int slot = 0; slot < kSlots; ++slot) {
    QString name, folder;
    if (!ReadText(store, at, NameKey(prefix, slot), {}, name) ||
        !ReadText(store, at, FolderKey(prefix, slot), {}, folder))
      return;
    if (!append(name, folder)) return;
  }
}

void FolderAliasList::save(SettingsStore& store, const StoreLocation& at, const QString& prefix) const {
  for (int slot = 0; slot < kSlots; ++slot) {
    const bool used = slot < count();
    WriteText(store, at, NameKey(prefix, slot), used ? m_aliases[slot].name : QString());
    WriteText(store, at, FolderKey(prefix, slot), used ? m_aliases[slot].folder : QString());
  }
}
