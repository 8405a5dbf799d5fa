// See TempFolder.h.
#include "platform/TempFolder.h"

#include <cstdlib>

#include "platform/FileName.h"

QString TempFolderPath() {
  const char* tmp = std::getenv("TMPDIR");
  QString path = (tmp && *tmp) ? FileNameFromBytes(tmp) : QStringLiteral("/tmp");
  if (!path.endsWith(u'/')) path += u'/';
  return path;
}
