// A temporary world for the engine tests: the real archiver modules of the
// build (through Dll_Check), the default settings, a source and a
// destination folder, and archives made on the spot with Debian's tools.
#pragma once

#include <QStringList>

#include "engine/Libraries.h"
#include "engine/basRukasu.h"
#include "settings/SettingsDefaults.h"
#include "tests/engine/RecordingListener.h"
#include "tests/support/TestSupport.h"

class EngineFixture {
 public:
  EngineFixture();

  // Makes `archive` (relative to the source folder) with `tool` from the given
  // files (relative path -> content), created in a scratch folder first.
  QString makeZip(const QString& archive, const QStringList& files);
  QString makeTarGz(const QString& archive, const QStringList& files);
  QString makeLzh(const QString& archive, const QStringList& files);
  QString makeGz(const QString& archive, const QByteArray& content);

  int16_t extract(const QString& arc, int16_t mode = 0, ExtractedVolumes* volumes = nullptr);
  // The log lines after the heading line.
  QStringList linesAfterHeading() const { return listener.lines.mid(1); }

  testing_support::TempFolder tmp;
  QString source;  // folder of the archives
  QString dest;    // destination, ending with "/"
  Settings settings = DefaultSettings();
  Libraries libraries;
  RecordingListener listener;

 private:
  QString scratch(const QStringList& files);
  int m_scratchCount = 0;
};

QString P(int productMessage);
