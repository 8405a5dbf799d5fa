// 7z extraction; see SevenZipReader.h and README.md for the options.
#include "archivers/sevenzip32/SevenZipReader.h"

#include "archivers/common/ArchiveFile.h"
#include "archivers/common/Passwords.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveHandle.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/libarchive/ScopedUtf8Locale.h"
#include "archivers/sevenzip32/AesStage.h"
#include "archivers/sevenzip32/SevenZipArchive.h"
#include "archivers/sevenzip32/SevenZipExtraction.h"
#include "archivers/sevenzip32/SevenZipLocator.h"
#include "archivers/sevenzip32/SevenZipPassword.h"

namespace rkarc::sevenzip {
namespace {

// x and e are 7-Zip's own command words; -aoa and -aos its overwrite switches.
using enum OptionEffect;
constexpr OptionRule kLetters[] = {{"x", WithFolders}, {"e", Flatten}, {"y", None}};
constexpr OptionRule kTokens[] = {{"--overwrite", Overwrite}, {"-aoa", Overwrite}, {"-aos", KeepExisting}};
constexpr CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .tokens = kTokens};

void SevenZipFormat(archive* a) { archive_read_support_format_7zip(a); }

const char* const kHeaderEncrypted = "書庫のヘッダーが暗号化されています（パスワードが必要です）";

// Why the archive cannot be extracted, found before anything is written.
struct Refusal {
  int32_t code = 0;
  std::string reason;
  std::string detail;  // a further report line, or empty
};

// libarchive reads the 7z headers whole when it opens the archive, and walks
// the entries without decoding any data while none is asked for: so an
// encrypted archive, encrypted members and damaged headers are all known
// before the first file is written, and an encrypted archive is never half
// extracted.
Refusal SurveyHeaders(const InputFile& file, const SevenZipStart& start) {
  ScopedUtf8Locale locale;
  ArchiveHandle a;
  if (!a.get()) return {kErrMemory, FailureText(kErrMemory), {}};
  SevenZipFormat(a);
  Progress quiet(nullptr, nullptr);
  ArchiveWindow window(file, start.offset, start.end, &quiet);
  int r = window.open(a, true);
  while (r == ARCHIVE_OK || r == ARCHIVE_WARN) {
    archive_entry* entry = nullptr;
    r = archive_read_next_header(a, &entry);
    if (r == ARCHIVE_EOF) return {};
    if ((r == ARCHIVE_OK || r == ARCHIVE_WARN) && archive_entry_is_encrypted(entry)) {
      const Member member = MemberFromEntry(entry);
      return {kErrEncrypted, FailureText(kErrEncrypted),
              SafeWriter::PrintableName(member.name, NameCharset::Utf8) + ": 暗号化されています"};
    }
  }
  const ArchiveError error = ArchiveError::From(a);
  return {error.code, error.code == kErrEncrypted ? std::string(kHeaderEncrypted) : error.reason, {}};
}

// libarchive hands over the names it decoded from the archive's UTF-16 as UTF-8.
// A mode without type bits (py7zr writes such) is a regular file.
bool PlanEntry(archive_entry* entry, size_t, EntryPlan& plan) {
  plan.member.charset = NameCharset::Utf8;
  if (archive_entry_filetype(entry) == 0) plan.member.type = MemberType::File;
  if (archive_entry_is_encrypted(entry)) {
    plan.refusal = kErrEncrypted;
    plan.reason = FailureText(kErrEncrypted);
  }
  return true;
}

// 7-Zip names a member stored without a name after the archive, without its extension.
std::string UnnamedMember(const std::string& archive) {
  std::string name = archive.substr(archive.find_last_of('/') + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  const struct KeyWiper {
    ~KeyWiper() { ForgetAesKeys(); }
  } wiper;
  ExtractionJob job(command, report, progress, kSyntax);
  if (job.failure()) return job.failure();
  ArchiveFile archiveFile;
  if (!archiveFile.open(job.request().archive)) {
    report.fail(archiveFile.error());
    return kErrArchiveOpen;
  }
  const Location location = Find7z(archiveFile);
  if (location.found == Found::None && archiveFile.readFailed()) {
    report.fail(archiveFile.error());
    return kErrArchiveOpen;
  }
  if (location.found == Found::None) {
    report.fail("7z書庫ではありません");
    return kErrNotArchive;
  }
  if (location.found == Found::Damaged) {
    // A split set that ends too early lacks its next part.
    if (location.cutShort)
      if (const int32_t code = ReportNextPartMissing(archiveFile.parts(), report)) return code;
    report.fail("7z書庫の先頭のヘッダーが壊れているか、書庫が途中で切れています");
    return kErrDamaged;
  }
  // The archive ends with its last header: what follows is no part of it.
  if (const uint64_t trailing = archiveFile.size() - location.start.end; trailing > 0) {
    report.note("書庫の後ろの余分なデータ（" + std::to_string(trailing) + "バイト）は無視しました");
    report.keep("書庫の後ろに余分なデータがあります");
  }
  const PasswordSet& passwords = ModulePasswords();
  ArchiveHeader archive = ReadArchiveHeader(job.file(), location.start, passwords.given ? &passwords.list : nullptr);
  if (archive.outcome == ArchiveHeader::Failed) {
    if (archive.passwordNeeded) report.lead(kPasswordLead, kPasswordNone);
    report.fail(archive.failure.reason);
    return archive.failure.code;
  }
  if (archive.outcome == ArchiveHeader::Read) {
    if (passwords.given)  // nothing is written before the password is known
      if (const int32_t code = ChoosePassword(job.file(), PackBase(location.start), archive, job.request(),
                                              passwords.list, report))
        return code;
    SafeWriter writer(job.request().output, job.request().writerOptions, report);
    if (!writer.ready()) return writer.result();
    Extraction(job.file(), PackBase(location.start), archive, job.request(), writer, job.progress(),
               UnnamedMember(job.request().archive), archive.password ? &passwords.list[*archive.password] : nullptr)
        .run();
    return job.finish(writer);
  }
  // PPMd folders: libarchive reads the archive.
  const Refusal refusal = SurveyHeaders(job.file(), location.start);
  if (refusal.code != 0) {
    report.fail(refusal.reason);
    if (!refusal.detail.empty()) report.add(refusal.detail);
    return refusal.code;
  }
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  job.readWithLibarchive(writer, location.start.offset, location.start.end, true, SevenZipFormat, PlanEntry);
  return job.finish(writer);
}

bool CanExtract(const std::string& path) {
  ArchiveFile file;
  return file.open(path) && Find7z(file).found == Found::Archive;
}

}  // namespace rkarc::sevenzip
