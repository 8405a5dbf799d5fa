// RAR extraction; see RarReader.h and README.md for the options.
#include "archivers/unrar32/RarReader.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/unrar32/Rar4Reader.h"
#include "archivers/unrar32/RarHeaders.h"
#include "archivers/unrar32/RarSetReader.h"
#include "archivers/unrar32/RarVolumes.h"

namespace rkarc::rar {
namespace {

using enum OptionEffect;
constexpr OptionRule kLetters[] = {{"x", WithFolders}, {"e", Flatten}, {"u", KeepExisting}};
constexpr OptionRule kTokens[] = {{"--overwrite", Overwrite}, {"-o+", Overwrite}, {"-o-", KeepExisting}};
constexpr CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .tokens = kTokens};

std::string Slashed(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

// Plans libarchive's entries of a set from our own header walk.
class SetPlanner {
 public:
  SetPlanner(const ExtractionJob& job, const RarStart& start, const VolumeSet& set, SafeWriter& writer)
      : m_job(job), m_start(start), m_set(set), m_writer(writer) {}

  // Our header walk and libarchive see the same file headers in the same
  // order; a name that differs means the two disagree about the archive.
  bool plan(size_t index, EntryPlan& plan) const {
    const RarHeaders& headers = m_set.headers();
    if (index >= headers.files.size()) return true;  // past where our walk stopped: libarchive's view only
    const RarFile& file = headers.files[index];
    if (m_start.version == 4 && !file.unicode) {
      if (Slashed(file.name) != plan.member.name) {
        m_writer.failArchive(kErrDamaged, "ヘッダーの並びが読めません");
        return false;
      }
      plan.member.name = file.name;  // with its 0x5C bytes intact
      plan.member.charset = NameCharset::Auto;
    } else {
      plan.member.charset = NameCharset::Utf8;  // libarchive converted it to UTF-8
    }
    if (m_start.version == 4 && plan.member.type == MemberType::File)
      plan.member.mode = Rar4Member(file).mode;  // libarchive drops the MS-DOS read-only mark
    plan.skip = file.olderVersion;
    if (file.spans || (file.stored5 && !file.splitAfter)) plan.crc32 = file.crc;
    if (file.encrypted) {
      plan.refusal = kErrEncrypted;
    } else if (!headers.volume && (file.splitBefore || file.splitAfter)) {
      plan.refusal = kErrMultiVolume;  // a volume of a set whose other volumes the walk did not look for
    } else if (!file.copyOf.empty()) {
      planCopy(index, plan);
    }
    if (plan.refusal != 0 && plan.reason.empty()) plan.reason = FailureText(plan.refusal);
    return true;
  }

 private:
  // A file reference is written as a whole copy of the earlier member it
  // names, read from the archive again: libarchive 3.6 gives it no data.
  void planCopy(size_t index, EntryPlan& plan) const {
    const auto& files = m_set.headers().files;
    size_t target = index;
    while (target > 0 && (files[target - 1].name != files[index].copyOf || !files[target - 1].copyOf.empty())) --target;
    if (target == 0 || plan.member.type != MemberType::File) {
      plan.refusal = kErrDamaged;
      plan.reason = "コピー元のファイルが書庫にありません";
      return;
    }
    const RarFile& source = files[--target];
    plan.crc32.reset();
    plan.data = [this, target, crc = source.crc](MemberSink& sink) {
      CopyMember(m_job.file(), m_start, m_set, target, crc, sink);
      return true;
    };
  }

  const ExtractionJob& m_job;
  const RarStart& m_start;
  const VolumeSet& m_set;
  SafeWriter& m_writer;
};

// Reads the archive, and the later volumes of its set, through libarchive.
bool ReadSet(ExtractionJob& job, SafeWriter& writer, const RarStart& start, const VolumeSet& set) {
  SetWindows windows(job.file(), start, set, &job.progress());
  const SetPlanner planner(job, start, set, writer);
  return job.readWithLibarchive(
      writer, SupportRar, [&](archive* a) { return windows.open(a); },
      [&](archive_entry*, size_t index, EntryPlan& plan) { return planner.plan(index, plan); });
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
  ExtractionJob job(command, report, progress, kSyntax);
  if (job.failure()) return job.failure();
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
  // A split file (name.rar.001 ...) whose archive runs past its end lacks its next part.
  if (headers.cutShort)
    if (const int32_t code = ReportNextPartMissing(job.file().parts(), report)) return code;
  // Every volume is looked at before anything is written: a set that cannot
  // be read whole leaves nothing behind.
  const VolumeSet set(job.request().archive, headers);
  if (set.failure()) {
    report.fail(set.problem());
    return set.failure();
  }
  ReportVolumes(set, report);
  const auto& files = set.headers().files;
  if (std::any_of(files.begin(), files.end(), [](const RarFile& f) { return f.spans && !f.crc; }))
    report.keep("分割された巻をまたぐファイルにCRCがありません");
  if (std::any_of(files.begin(), files.end(), [](const RarFile& f) { return f.olderVersion; }))
    report.keep("古い版のファイルを解凍していません");
  // Only the end block could tell that a split file's last part is its last.
  if (!set.headers().endSeen && set.headers().damage.empty() && !job.file().parts().next().empty())
    report.keep("書庫の終わりのブロックがありません（分割書庫の次の巻がないかもしれません）");
  SafeWriter writer(job.request().output, job.request().writerOptions, report);
  if (!writer.ready()) return writer.result();
  // libunarr reads RAR 4 archives (solid ones too) but not volume sets.
  const bool single = !set.headers().volume;
  std::optional<bool> read;
  if (start->version == 4 && single) read = ReadRar4(job, writer, *start, headers);
  const bool complete = read ? *read : ReadSet(job, writer, *start, set);
  if (!set.headers().damage.empty()) {
    writer.failArchive(kErrDamaged, set.headers().damage);
  } else if (complete && !set.headers().endSeen && !single) {
    // A single archive may end without the block, each member having been
    // checked; the last volume of a set says there that no other follows.
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
  // Encrypted headers: the command will say so rather than "not an archive".
  return headers.headersEncrypted || !headers.files.empty() || headers.endSeen;
}

}  // namespace rkarc::rar
