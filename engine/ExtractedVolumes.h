// The later volumes of the volume sets that one batch run has extracted so
// far, each with its set's first volume: when the run reaches one of them on
// the target list, it was extracted with its set already.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class ExtractedVolumes {
 public:
  void add(const QString& first, const QStringList& later) {
    for (const QString& path : later) m_firstOf.insert(path, first);
  }
  // The first volume of the set that `path` was extracted with, or empty.
  QString firstOf(const QString& path) const { return m_firstOf.value(path); }

 private:
  QHash<QString, QString> m_firstOf;
};
