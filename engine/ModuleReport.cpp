// Reading the head of a module report; see ModuleReport.h.
#include "engine/ModuleReport.h"

ModuleReport ModuleReport::Parse(const char* buffer) {
  ModuleReport report;
  const QStringList lines = QString::fromUtf8(buffer).split(u'\n');
  for (const QString& line : lines) {
    const qsizetype tab = line.indexOf(u'\t');
    if (tab <= 0) break;  // the head ends at the first line of the module's own
    const QString tag = line.left(tab), text = line.mid(tab + 1);
    if (tag == QStringLiteral("reason")) {
      report.reason = text;
    } else if (tag == QStringLiteral("volumes")) {
      report.volumeCount = std::max(1, text.toInt());
    } else if (tag == QStringLiteral("volume")) {
      report.laterVolumes << text;
    } else {
      break;
    }
  }
  return report;
}
