// RAR extraction; see RarReader.h and README.md for the options.
#include "archivers/unrar32/RarReader.h"

#include <memory>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/unrar32/RarHeaders.h"
#include "archivers/unrar32/RarVolumes.h"

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
// `wholeSet`: every volume is there, so members continued across volumes
// extract.
bool PlanEntry(const RarHeaders& headers, int version, bool wholeSet, SafeWriter& writer, size_t index,
               EntryPlan& plan) {
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
  if (file.stored5 && !file.splitAfter) plan.crc32 = file.crc;
  if (file.encrypted) {
    plan.refusal = kErrEncrypted;
  } else if (!wholeSet && (file.splitBefore || file.splitAfter)) {
    plan.refusal = kErrMultiVolume;
  }
  if (plan.refusal != 0) plan.reason = FailureText(plan.refusal);
  return true;
}

// Reads the archive, and the later volumes of its set, through libarchive.
bool ReadSet(ExtractionJob& job, SafeWriter& writer, const RarStart& start, const VolumeSet& set) {
  std::vector<std::unique_ptr<ArchiveWindow>> windows;
  windows.push_back(std::make_unique<ArchiveWindow>(job.file(), start.offset, job.file().size(), &job.progress()));
  for (const Volume& volume : set.later())
    windows.push_back(
        std::make_unique<ArchiveWindow>(*volume.file, volume.start.offset, volume.file->size(), &job.progress()));
  // libarchive's RAR 5 reader looks for the next volume's signature in 512
  // bytes read ahead from the end of a volume, and takes fewer (a small last
  // volume) for the end of the set: zero bytes after the last volume give it
  // the room.
  if (windows.size() > 1) windows.back()->setTail(std::vector<unsigned char>(512));
  std::vector<ArchiveWindow*> chain;
  for (const auto& w : windows) chain.push_back(w.get());
  const bool wholeSet = set.headers().volume;
  return job.readWithLibarchive(
      writer,
      [](archive* a) {
        archive_read_support_format_rar(a);
        archive_read_support_format_rar5(a);
      },
      [&](archive* a) { return ArchiveWindow::OpenChain(a, chain, true); },
      [&](archive_entry*, size_t index, EntryPlan& plan) {
        return PlanEntry(set.headers(), start.version, wholeSet, writer, index, plan);
      });
}

// Tells the host which files the set was read from, so that it can treat
// them as one: their count, then each later volume's file name (a name the
// report's lines cannot carry is left out; the count shows the gap).
void ReportVolumes(const VolumeSet& set, Report& report) {
  if (set.later().empty()) return;
  report.lead("volumes", std::to_string(set.later().size() + 1));
  for (const Volume& volume : set.later()) {
    const std::string name = volume.path.substr(volume.path.rfind('/') + 1);
    if (name.find_first_of("\t\n\r") == std::string::npos) report.lead("volume", name);
  }
}

}  // namespace

int32_t Extract(std::string_view command, Report& report, Progress& progress) {
  ExtractionJob job(command, report, progress, RarOption);
  if (job.failure()) return job.failure();
  if (!job.request().outputIsFolder()) {
    report.fail("解凍先フォルダがありません");
    return kErrOutputFolder;
  }
  const auto start = FindRar(job.file());
  if (!start) {
    report.fail("RAR書庫ではありません");
    return kErrNotArchive;
  }
  const RarHeaders headers = RarHeaders::Read(job.file(), *start);
  if (headers.headersEncrypted) {
    report.fail("ヘッダーが暗号化されています");
    return kErrEncrypted;
  }
  // Every volume is looked at before anything is written: a set that cannot
  // be read whole leaves nothing behind.
  const VolumeSet set(job.request().archive, headers);
  if (set.failure()) {
    report.fail(set.problem());
    return set.failure();
  }
  ReportVolumes(set, report);
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  const bool complete = ReadSet(job, writer, *start, set);
  if (!set.headers().damage.empty()) {
    writer.failArchive(kErrDamaged, set.headers().damage);
  } else if (complete && !set.headers().endSeen) {
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
