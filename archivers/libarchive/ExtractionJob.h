// One extraction command of a libarchive-based module from start to end:
// the parsed request, the opened archive file, reading a window of it
// through libarchive into the safe writer, and the final result code.
#pragma once

#include <archive.h>

#include <cstdint>
#include <functional>
#include <string_view>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/libarchive/EntryExtractor.h"
#include "archivers/libarchive/InputFile.h"

namespace rkarc {

class ExtractionJob {
 public:
  // What the output may name: a folder, or (for a module with a single-file
  // form) also a file to make.
  enum class Output { Folder, FolderOrFile };

  // Parses the command, opens the archive and, for Output::Folder, checks
  // that the output names a folder; failure() tells whether that worked.
  ExtractionJob(std::string_view text, Report& report, Progress& progress, const CommandSyntax& syntax,
                Output output = Output::Folder);

  // Non-zero (a result code, already reported) when the command cannot run.
  int32_t failure() const { return m_failure; }
  ExtractRequest& request() { return m_request; }
  const InputFile& file() const { return *m_file; }
  Report& report() { return m_report; }
  Progress& progress() { return m_progress; }

  // Reads [base, end) of the file with libarchive (formats chosen by
  // `configure`) into `writer`. True when the archive was read to its end.
  bool readWithLibarchive(SafeWriter& writer, uint64_t base, uint64_t end, bool seekable,
                          const std::function<void(archive*)>& configure, const EntryExtractor::Planner& planner,
                          size_t* entries = nullptr);
  // The same over any source: `open` installs the callbacks and opens.
  bool readWithLibarchive(SafeWriter& writer, const std::function<void(archive*)>& configure,
                          const std::function<int(archive*)>& open, const EntryExtractor::Planner& planner,
                          size_t* entries = nullptr);

  // Whether the last archive read ended with a mark of its own (tar's zero
  // blocks) rather than where its data stopped.
  bool endMarked() const { return m_endMarked; }

  // Reports member names of the command that were not found, reports the end
  // of reading, and returns the writer's result.
  int32_t finish(SafeWriter& writer);

 private:
  Report& m_report;
  Progress& m_progress;
  ExtractRequest m_request;
  std::unique_ptr<InputFile> m_file;
  int32_t m_failure = 0;
  bool m_endMarked = false;
};

}  // namespace rkarc
