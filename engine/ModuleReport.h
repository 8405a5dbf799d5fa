// What the engine reads from an archiver module's report buffer: the lines
// for the host that head it ("reason<tab>...", "volumes<tab>N",
// "volume<tab>NAME"): why a failed command failed, and the volumes of the
// set that a command read. Everything else in the buffer is the module's own.
#pragma once

#include <QString>
#include <QStringList>

struct ModuleReport {
  QString reason;            // empty when the module gave none
  int volumeCount = 1;       // more than 1: the archive was read as a volume set
  QStringList laterVolumes;  // file names of the set's later volumes, in order

  static ModuleReport Parse(const char* buffer);
  // The report names every volume of the set.
  bool namesWholeSet() const { return laterVolumes.size() + 1 == volumeCount; }
};
