// Points XDG_CONFIG_HOME at a fresh empty folder for the life of one test, so
// that every settings test starts from an empty store of real INI files.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include "tests/support/TestSupport.h"

class FreshConfig {
 public:
  FreshConfig() : m_saved(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", m_folder.path().toLocal8Bit()); }
  ~FreshConfig() { qputenv("XDG_CONFIG_HOME", m_saved); }
  FreshConfig(const FreshConfig&) = delete;
  FreshConfig& operator=(const FreshConfig&) = delete;

  const QString& path() const { return m_folder.path(); }
  // The file of section "Rukasu2" under an application key.
  QString ini(const QString& application) const { return path() + "/" + application + "/Rukasu2.ini"; }
  // Writes a store file by hand, as another program or the user would.
  QString writeIni(const QString& application, const QByteArray& content,
                   const QString& section = QStringLiteral("Rukasu2")) const {
    return m_folder.write(application + "/" + section + ".ini", content);
  }

 private:
  testing_support::TempFolder m_folder;
  QByteArray m_saved;
};
