// ZIP extraction; see ZipReader.h and README.md for the options.
#include "archivers/unzip32/ZipReader.h"

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/unzip32/ZipDirectory.h"

namespace rkarc::zip {
namespace {

std::string ZipOption(std::string_view token, ExtractRequest& request) {
  if (token == "--overwrite") {
    request.writerOptions.overwrite = true;
    return {};
  }
  return ForEachOptionLetter(token, [&](char c) {
    switch (c) {
      case 'x':
        request.writerOptions.flatten = false;
        return true;
      case 'e':
      case 'j':
        request.writerOptions.flatten = true;
        return true;
      case 'o':
        request.writerOptions.overwrite = true;
        return true;
      case 'n':
        request.writerOptions.overwrite = false;
        return true;
      default:
        return false;
    }
  });
}

// Names, charsets and encryption come from the central directory; libarchive
// returns the entries in the same (local header) order.
bool PlanEntry(const ZipDirectory& directory, const InputFile& file, SafeWriter& writer, archive_entry* entry, size_t index,
               EntryPlan& plan) {
  const auto& records = directory.records();
  if (index >= records.size()) {
    writer.failArchive(kErrDamaged, "中央ディレクトリにないファイルがあります");
    return false;
  }
  ZipRecord record = records[index];
  directory.useLocalName(file, record);
  plan.member.name = record.name;
  plan.member.charset = record.charset;
  if (plan.member.type == MemberType::File && archive_entry_size_is_set(entry) &&
      static_cast<uint64_t>(archive_entry_size(entry)) != record.size) {
    writer.failArchive(kErrDamaged, "中央ディレクトリとファイルのヘッダーが一致しません");
    return false;
  }
  if (record.encrypted) {
    plan.refusal = kErrEncrypted;
    plan.reason = FailureText(kErrEncrypted);
  }
  return true;
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  ExtractionJob job(command, report, progress, ZipOption);
  if (job.failure()) return job.failure();
  if (!job.request().outputIsFolder()) {
    report.fail("解凍先フォルダがありません");
    return kErrOutputFolder;
  }
  ZipDirectory directory;
  if (!directory.read(job.file())) {
    const int32_t code = directory.looksLikeZip() ? kErrDamaged : kErrNotArchive;
    report.fail(code == kErrDamaged ? "ZIPの中央ディレクトリが見つかりません（壊れています）" : "ZIP書庫ではありません");
    return code;
  }
  if (directory.endRepaired()) report.add("書庫の終わりのレコードが壊れているため、中央ディレクトリから読みます");
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  if (directory.records().empty()) return job.finish(writer);  // an empty archive: nothing to write
  ArchiveWindow window(job.file(), directory.base(), directory.centralDirectoryEnd(), &job.progress());
  window.setTail(directory.cleanEnd());
  size_t entries = 0;
  const bool complete = job.readWithLibarchive(
      writer, [](archive* a) { archive_read_support_format_zip_seekable(a); },
      [&](archive* a) { return window.open(a, true); },
      [&](archive_entry* entry, size_t index, EntryPlan& plan) {
        return PlanEntry(directory, job.file(), writer, entry, index, plan);
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
