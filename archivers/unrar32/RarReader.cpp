// RAR extraction; see RarReader.h and README.md for the options.
#include "archivers/unrar32/RarReader.h"

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/unrar32/RarHeaders.h"

namespace rkarc::rar {
namespace {

std::string RarOption(std::string_view token, ExtractRequest& request) {
  if (token == "--overwrite" || token == "-o+") {
    request.writerOptions.overwrite = true;
    return {};
  }
  if (token == "-o-") {
    request.writerOptions.overwrite = false;
    return {};
  }
  return ForEachOptionLetter(token, [&](char c) {
    switch (c) {
      case 'x':
        request.writerOptions.flatten = false;
        return true;
      case 'e':
        request.writerOptions.flatten = true;
        return true;
      case 'u':  // keep existing files: the default
        return true;
      default:
        return false;
    }
  });
}

std::string Slashed(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

// Our header walk and libarchive see the same file headers in the same
// order; a name that differs means the two disagree about the archive.
bool PlanEntry(const RarHeaders& headers, int version, SafeWriter& writer, size_t index, EntryPlan& plan) {
  if (index >= headers.files.size()) return true;  // past where our walk stopped: libarchive's view only
  const RarFile& file = headers.files[index];
  if (version == 4 && !file.unicode) {
    if (Slashed(file.name) != plan.member.name) {
      writer.failArchive(kErrDamaged, "ヘッダーの並びが読めません");
      return false;
    }
    plan.member.name = file.name;  // with its 0x5C bytes intact
    plan.member.charset = NameCharset::Auto;
  } else {
    plan.member.charset = NameCharset::Utf8;  // libarchive converted it to UTF-8
  }
  if (file.encrypted) {
    plan.refusal = kErrEncrypted;
  } else if (file.splitBefore || file.splitAfter) {
    plan.refusal = kErrMultiVolume;
  }
  if (plan.refusal != 0) plan.reason = ArchiveError::ReasonFor(plan.refusal);
  return true;
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  ExtractionJob job(command, report, progress, RarOption);
  if (job.failure()) return job.failure();
  if (!job.request().outputIsFolder()) {
    report.add("解凍先フォルダがありません");
    return kErrOutputFolder;
  }
  const auto start = FindRar(job.file());
  if (!start) {
    report.add("RAR書庫ではありません");
    return kErrNotArchive;
  }
  const RarHeaders headers = RarHeaders::Read(job.file(), *start);
  if (headers.headersEncrypted) {
    report.add("ヘッダーが暗号化されています");
    return kErrEncrypted;
  }
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  const bool complete = job.readWithLibarchive(
      writer, start->offset, job.file().size(), true,
      [](archive* a) {
        archive_read_support_format_rar(a);
        archive_read_support_format_rar5(a);
      },
      [&](archive_entry*, size_t index, EntryPlan& plan) {
        return PlanEntry(headers, start->version, writer, index, plan);
      });
  if (!headers.damage.empty()) {
    writer.failArchive(kErrDamaged, headers.damage);
  } else if (complete && !headers.endSeen) {
    writer.failArchive(kErrDamaged, "書庫の終わりのブロックがありません");
  }
  return job.finish(writer);
}

bool CanExtract(const std::string& path) {
  const InputFile file(path);
  if (!file.ok()) return false;
  const auto start = FindRar(file);
  if (!start) return false;
  const RarHeaders headers = RarHeaders::Read(file, *start);
  return !headers.headersEncrypted && (!headers.files.empty() || headers.endSeen);
}

}  // namespace rkarc::rar
