// Reading the head of a module report; see ModuleReport.h.
#include "engine/ModuleReport.h"

#include "platform/FileName.h"

ModuleReport ModuleReport::Parse(const char* buffer) {
  ModuleReport report;
  // A volume's name is its bytes on disk, UTF-8 or not.
  const QStringList lines = FileNameFromBytes(buffer).split(u'\n');
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
    } else if (tag == QStringLiteral("keep")) {
      report.keepReasons << text;
    } else if (tag == QStringLiteral("password")) {
      continue;  // read by the password loop (PasswordCall)
    } else {
      break;
    }
  }
  return report;
}
