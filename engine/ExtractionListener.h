// How the engine reports while it extracts: one call per result-log line, one
// per successfully extracted folder, and the busy-library notice (a modal
// message box in the windows). The windows implement it; the automatic run
// and the tests implement it without windows.
#pragma once

#include <QString>

class ExtractionListener {
 public:
  virtual ~ExtractionListener() = default;
  virtual void logLine(const QString& line) = 0;
  virtual void extractedFolder(const QString& folder) = 0;
  virtual void busyNotice(const QString& text) = 0;
};
