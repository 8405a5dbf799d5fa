// See LogFile.h.
#include "results/LogFile.h"

#include <QSaveFile>

#include "platform/Cp932.h"

QByteArray LogFileBytes(const QList<QString>& lines) {
  QString text;
  for (const QString& line : lines) {
    text += line;
    text += QStringLiteral("\r\n");
  }
  // One conversion for the whole text: the converter is set up once, not per line.
  const std::string bytes = cp932::FromUtf8(text.toStdString());
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool SaveLogFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

namespace {

// "LogFile(*.LOG)" loses its pattern part: Qt appends its own.
QString FilterLabel(const QString& description) {
  QString label = description;
  const qsizetype open = label.lastIndexOf(u'(');
  if (open > 0 && label.endsWith(u')')) label.truncate(open);
  return label.trimmed();
}

QString QtPatterns(const QString& windowsPatterns) {
  QStringList patterns;
  for (const QString& piece : windowsPatterns.split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = piece.trimmed();
    // "*.*" means every file on Windows, also those without a dot.
    patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
  }
  return patterns.join(u' ');
}

}  // namespace

QStringList QtNameFilters(const QString& windowsFilter) {
  const QStringList parts = windowsFilter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = QtPatterns(parts[i + 1]);
    if (patterns.isEmpty()) continue;
    QString label = FilterLabel(parts[i]);
    if (label.isEmpty()) label = patterns;
    filters << label + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}
