// Extraction of one archive: the output folder of the run mode, the heading
// and progress lines, the kind from the upper-cased extension, the probes of
// .EXE, .X and .LOG files, double archives in two passes, the command string,
// the library call, the interpretation of its result, and the action on the
// archive after a successful extraction. GUI-free: everything the user sees
// goes through the ExtractionListener.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/ArchiveKinds.h"
#include "engine/PostAction.h"
#include "text/MessageIds.h"

class CommandPaths;
class ExtractedVolumes;
class ExtractionListener;
struct ModuleReport;

class basRukasu {
 public:
  basRukasu(const Settings& settings, Libraries& libraries, ExtractionListener& listener);

  // 0 extracted, 1 not extracted (the batch goes on), -1 the batch must stop.
  // `dest` ends with "/". `volumes`, when given, is the batch run's memory of
  // the volume sets it extracted: a later volume of one is done already, and
  // a set extracted now is added.
  int16_t Archive_Extract(const QString& arc, const QString& dest, int16_t mode,
                          ExtractedVolumes* volumes = nullptr);

  // Adds at most one log line for a library result; 0 success, -1 stop, 1 failure.
  int16_t Result_Check(int32_t rc);

  // The library's report of the last command call.
  QString lastReport() const;

 private:
  struct Call;  // the state of one Archive_Extract call

  void makeOutputFolder(Call& call, const QString& dest, int16_t mode);
  // Extracts with the first kind of the extension that is on (and recognises the file).
  void dispatch(Call& call, const QString& ext);
  bool probe(LibraryId library, ProductMsg checkMessage, const QString& path);
  void run(Call& call, LibraryId library, CommandForm form, const QString& option);
  void extractDouble(Call& call, const DoubleKind& kind);
  // The two library calls of a double archive, the intermediate file in `work`.
  void passes(Call& call, const ArchiveKind& outer, const ArchiveKind& inner, const QString& work);
  int32_t callLibrary(LibraryId library, const QString& command);
  // False when a path could not be handed over (the reason is in call.paths).
  bool buildCommand(Call& call, CommandForm form, const QString& option, QString& command);
  int16_t complete(Call& call, int16_t outcome);
  // False when a copy or move that was asked for could not be made.
  bool logPostResult(PostResult result);
  // The files of the archive: a volume set's all, which the batch run then
  // counts as extracted.
  static std::vector<ArchivePart> archiveParts(const Call& call, const ModuleReport& report);
  void logNotes(const CommandPaths& paths);
  void log(ProductMsg message);

  const Settings& m_settings;
  Libraries& m_libraries;
  ExtractionListener& m_listener;
  std::array<char, 4096> m_outBuf{};
  QString m_archiveName;  // of the archive being extracted, for the password dialog
};
