// A file-name pattern of the file lists: one or more wildcards ("*" any run of
// characters, "?" one character) separated by ";", e.g. "*.LZH;*.ZIP",
// matched against whole names with letter case ignored.
#pragma once

#include <QString>
#include <QStringList>

class FileNamePattern {
 public:
  // An empty text (no wildcard at all) matches every name.
  explicit FileNamePattern(const QString& text = {});

  const QString& text() const { return m_text; }
  bool matches(const QString& name) const;

 private:
  QString m_text;
  QStringList m_folded;  // each wildcard, case-folded
};
