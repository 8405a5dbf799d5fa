// What the engine reads from an archiver module's report buffer: the lines
// for the host that head it ("reason<tab>...", "volumes<tab>N",
// "volume<tab>NAME", "keep<tab>WHY"): why a failed command failed, the volumes
// of the set that a command read, and why a successful one must keep its archive. Everything else in the buffer is the module's own.
#pragma once

#include <QString>
#include <QStringList>

struct ModuleReport {
  QString reason;            // empty when the module gave none
  int volumeCount = 1;       // more than 1: the archive was read as a volume set
  QStringList laterVolumes;  // file names of the set's later volumes, in order
  QStringList keepReasons;   // why the archive must stay although the command succeeded

  static ModuleReport Parse(const char* buffer);
  // The report names every volume of the set.
  bool namesWholeSet() const { return laterVolumes.size() + 1 == volumeCount; }
};
