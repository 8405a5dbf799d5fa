// One extraction command of a libarchive-based module; see ExtractionJob.h.
#include "archivers/libarchive/ExtractionJob.h"

#include <cerrno>

#include "archivers/common/RegularFile.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveHandle.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ScopedUtf8Locale.h"

namespace rkarc {

ExtractionJob::ExtractionJob(std::string_view text, Report& report, Progress& progress, const CommandSyntax& syntax,
                             Output output)
    : m_report(report), m_progress(progress) {
  if (!m_request.parse(text, syntax, report)) {
    m_failure = kErrCommand;
    return;
  }
  m_file = std::make_unique<InputFile>(m_request.archive);
  if (!m_file->ok()) {
    report.fail(OpenFailureText(m_file->error()));
    m_failure = kErrArchiveOpen;
  } else if (output == Output::Folder && !m_request.outputIsFolder()) {
    report.fail(FailureText(kErrOutputFolder));
    m_failure = kErrOutputFolder;
  }
  if (m_failure == 0) m_failure = ReportParts(m_file->parts(), report);
}

bool ExtractionJob::readWithLibarchive(SafeWriter& writer, uint64_t base, uint64_t end, bool seekable,
                                       const std::function<void(archive*)>& configure,
                                       const EntryExtractor::Planner& planner, size_t* entries) {
  ArchiveWindow window(*m_file, base, end, &m_progress);
  return readWithLibarchive(
      writer, configure, [&](archive* a) { return window.open(a, seekable); }, planner, entries);
}

bool ExtractionJob::readWithLibarchive(SafeWriter& writer, const std::function<void(archive*)>& configure,
                                       const std::function<int(archive*)>& open,
                                       const EntryExtractor::Planner& planner, size_t* entries) {
  m_endMarked = false;
  ScopedUtf8Locale locale;
  ArchiveHandle a;
  if (!a.get()) {
    writer.failArchive(kErrMemory, FailureText(kErrMemory));
    return false;
  }
  configure(a);
  if (open(a) != ARCHIVE_OK) {
    const ArchiveError error = ArchiveError::From(a);
    writer.failArchive(error.code, error.reason);
    return false;
  }
  EntryExtractor extractor(a, writer, m_request);
  const bool complete = extractor.run(planner);
  m_endMarked = extractor.endMarked();
  if (entries) *entries = extractor.entries();
  return complete;
}

int32_t ExtractionJob::finish(SafeWriter& writer) {
  m_request.members.reportUnmatched(writer);
  if (m_file) m_progress.finish(m_file->size());
  return writer.result();
}

}  // namespace rkarc
