// ZIP extraction; see ZipReader.h and README.md for the options.
#include "archivers/unzip32/ZipReader.h"

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/unzip32/ZipDirectory.h"
#include "archivers/unzip32/ZipInflater.h"
#include "archivers/unzip32/ZipPassword.h"
#include "archivers/common/Passwords.h"

namespace rkarc::zip {
namespace {

using enum OptionEffect;
constexpr OptionRule kLetters[] = {
    {"x", WithFolders}, {"e", Flatten}, {"j", Flatten}, {"o", Overwrite}, {"n", KeepExisting}};
constexpr OptionRule kTokens[] = {{"--overwrite", Overwrite}};
constexpr CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .tokens = kTokens};

// Names, charsets and encryption come from the central directory; libarchive
// returns the entries in the same (local header) order.
bool PlanEntry(const ZipDirectory& directory, const InputFile& file, SafeWriter& writer, ZipInflater& inflater,
               bool unlocked, archive_entry* entry, size_t index, EntryPlan& plan) {
  const auto& records = directory.records();
  if (index >= records.size()) {
    writer.failArchive(kErrDamaged, "中央ディレクトリにないファイルがあります");
    return false;
  }
  ZipRecord record = records[index];
  directory.useLocalHeader(file, record);
  plan.member.name = record.name;
  plan.member.charset = record.charset;
  if (plan.member.type == MemberType::File && archive_entry_size_is_set(entry) &&
      static_cast<uint64_t>(archive_entry_size(entry)) != record.size) {
    writer.failArchive(kErrDamaged, "中央ディレクトリとファイルのヘッダーが一致しません");
    return false;
  }
  if (record.encrypted && !unlocked) {
    plan.refusal = kErrEncrypted;
    plan.reason = FailureText(kErrEncrypted);
  }
  if (ZipInflater::Takes(record, directory.centralDirectoryEnd()))
    plan.data = [&inflater, record](MemberSink& sink) { return inflater.extract(record, sink); };
  return true;
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  ExtractionJob job(command, report, progress, kSyntax);
  if (job.failure()) return job.failure();
  ZipDirectory directory;
  if (!directory.read(job.file())) {
    const int32_t code = directory.looksLikeZip() ? kErrDamaged : kErrNotArchive;
    const std::string& next = job.file().parts().next();
    if (code == kErrDamaged && !next.empty()) {
      report.fail("ZIPの中央ディレクトリが見つかりません（分割書庫の次の巻 " + next.substr(next.rfind('/') + 1) +
                  " がないか、壊れています）");
    } else {
      report.fail(code == kErrDamaged ? "ZIPの中央ディレクトリが見つかりません（壊れています）" : "ZIP書庫ではありません");
    }
    return code;
  }
  if (directory.endRepaired()) {
    report.add("書庫の終わりのレコードが壊れているため、中央ディレクトリから読みます");
    report.keep("書庫の終わりのレコードが壊れています");  // the archive was not read as it was written
  }
  if (directory.repairedExtras() > 0) report.add("中央ディレクトリの壊れた拡張フィールドを無視しました");
  const PasswordSet& passwords = ModulePasswords();
  PasswordChoice password;
  if (passwords.given) {
    password = ChoosePassword(directory, job.file(), job.request(), passwords.list, report);
    if (password.failure) return password.failure;  // nothing was written
  }
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  if (directory.records().empty()) return job.finish(writer);  // an empty archive: nothing to write
  ArchiveWindow window(job.file(), directory.base(), directory.windowEnd(), &job.progress());
  window.setTail(directory.cleanEnd());
  ZipInflater inflater(job.file(), job.progress());
  size_t entries = 0;
  const bool complete = job.readWithLibarchive(
      writer,
      [&](archive* a) {
        archive_read_support_format_zip_seekable(a);
        AddPasswords(a, passwords.list, password.index);
      },
      [&](archive* a) { return window.open(a, true); },
      [&](archive_entry* entry, size_t index, EntryPlan& plan) {
        return PlanEntry(directory, job.file(), writer, inflater, password.index >= 0, entry, index, plan);
      },
      &entries);
  if (complete && entries != directory.records().size())
    writer.failArchive(kErrDamaged, "中央ディレクトリのファイルを読み切れません");
  return job.finish(writer);
}

bool CanExtract(const std::string& path) {
  const InputFile file(path);
  ZipDirectory directory;
  return file.ok() && directory.read(file);
}

}  // namespace rkarc::zip
