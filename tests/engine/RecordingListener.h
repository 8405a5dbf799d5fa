// Collects what the engine reports, in order, for the engine tests.
#pragma once

#include <QStringList>

#include "engine/ExtractionListener.h"

class RecordingListener : public ExtractionListener {
 public:
  void logLine(const QString& line) override { lines << line; }
  void extractedFolder(const QString& folder) override { folders << folder; }
  void busyNotice(const QString& text) override { notices << text; }

  QStringList lines;
  QStringList folders;
  QStringList notices;
};
