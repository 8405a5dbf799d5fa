// See ArchivePattern.h.
#include "source/ArchivePattern.h"

#include <QStringList>

#include "engine/ArchiveContents.h"
#include "engine/ArchiveKinds.h"
#include "engine/PathHelpers.h"
#include "settings/Settings.h"

namespace {

// The entries of one part of the pattern: each entry once, where it first
// stands in the table, when any kind it lists is on.
void AddEntries(QStringList& pattern, bool otherNames, const Settings& s, const Libraries& libraries) {
  QStringList entries;
  QList<bool> on;
  for (const ArchiveKind& kind : ArchiveKinds()) {
    if (((kind.flags & kOtherName) != 0) != otherNames) continue;
    const QString entry = kind.patternEntry();
    qsizetype at = entries.indexOf(entry);
    if (at < 0) {
      at = entries.size();
      entries << entry;
      on << false;
    }
    on[at] = on[at] || kind.on(s, libraries);
  }
  for (qsizetype i = 0; i < entries.size(); ++i)
    if (on[i]) pattern << entries[i];
}

bool ExtensionOn(const QString& ext, const Settings& s, const Libraries& libraries) {
  for (const ArchiveKind& kind : ArchiveKinds())
    if (ext == QLatin1String(kind.extension) && kind.on(s, libraries)) return true;
  return false;
}

}  // namespace

QString ArchivePattern(const Settings& s, const Libraries& libraries) {
  QStringList p;
  AddEntries(p, false, s, libraries);
  AddEntries(p, true, s, libraries);
  return p.isEmpty() ? QString::fromLatin1(kNoArchivePattern) : p.join(u';');
}

bool IsArchiveName(const QString& name, const Settings& s, const Libraries& libraries) {
  if (s.Double) {
    const DoubleKind* kind = FindDoubleKind(UCase_Get(Exp_Get(name, true, true)));
    if (kind && kind->on(s, libraries)) return true;
  }
  return ExtensionOn(UCase_Get(Exp_Get(name, true, false)), s, libraries);
}

bool IsArchiveFile(const QString& path, const Settings& s, const Libraries& libraries) {
  if (IsArchiveName(path, s, libraries)) return true;
  const QString ext = ExtensionByContents(path);
  return !ext.isEmpty() && ExtensionOn(ext, s, libraries);
}
