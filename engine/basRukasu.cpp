// Extraction of one archive; see basRukasu.h.
#include "engine/basRukasu.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "archivers/common/Report.h"
#include "archivers/common/ResultCodes.h"
#include "engine/ArchiveVerdict.h"
#include "engine/ArchiveContents.h"
#include "engine/CommandPaths.h"
#include "engine/ExtractedVolumes.h"
#include "engine/ExtractionListener.h"
#include "engine/Libraries.h"
#include "engine/ModuleReport.h"
#include "engine/PasswordCall.h"
#include "engine/PathHelpers.h"
#include "engine/PostAction.h"
#include "engine/RunMode.h"
#include "platform/FileName.h"
#include "settings/Settings.h"
#include "text/MessageCatalogue.h"

namespace {

// The module's reason for a failure goes on a line of its own below the
// failure line, indented one step further.
const QString kReasonIndent = QStringLiteral(u"\u3000\u3000");

// Empty for BZ2LIB.DLL, which the engine never calls.
std::optional<ProductMsg> BusyMessage(LibraryId id) {
  switch (id) {
    case LibraryId::Unlha: return ProductMsg::BusyUnlha;
    case LibraryId::UnZip: return ProductMsg::BusyUnzip;
    case LibraryId::Ish: return ProductMsg::BusyIsh;
    case LibraryId::Unarj: return ProductMsg::BusyUnarj;
    case LibraryId::Cab: return ProductMsg::BusyCab;
    case LibraryId::Tar: return ProductMsg::BusyTar;
    case LibraryId::Unrar: return ProductMsg::BusyUnrar;
    case LibraryId::SevenZip: return ProductMsg::BusySevenZip;
    case LibraryId::Bz2: break;
  }
  return std::nullopt;
}

// A path goes into a command between double quotes; CommandPaths hands over
// one that holds a quote itself under another path.
QString Quoted(const QString& path) { return u'"' + path + u'"'; }

// Makes the folder; `existed` tells that a folder or file of that name was
// there already. Any other failure shows later, when the folder is checked.
void MakeFolder(const QString& path, bool& existed) {
  existed = ::mkdir(FileNameBytes(path).constData(), 0777) != 0 && errno == EEXIST;
}

void RemoveIfEmpty(const QString& folder) { ::rmdir(FileNameBytes(folder).constData()); }

// Removes the folder and everything in it, links as links, never following one.
void RemoveTree(const QString& folder) {
  ::nftw(
      FileNameBytes(folder).constData(),
      [](const char* path, const struct stat*, int, struct FTW*) {
        std::remove(path);
        return 0;
      },
      16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

struct basRukasu::Call {
  explicit Call(const QString& tmpDir) : paths(tmpDir) {}

  QString arc;
  QString up;            // the upper-cased path
  QString out;           // the output folder, ending with "/"
  bool created = false;  // made by this extraction, so it may be removed when empty
  bool usable = true;    // false when the folder name itself is unusable
  int32_t rc = -1;       // the library result; -1 while no library was called
  bool interpreted = false;  // the first pass of a double archive failed: outcome below
  int16_t outcome = 1;
  FileIdentity identity;  // the archive as it was when its extraction began
  QStringList outerKeeps;  // the keep lines of a double archive's first pass
  ExtractedVolumes* volumes = nullptr;
  CommandPaths paths;  // what the commands name instead of a path they cannot carry
};

basRukasu::basRukasu(const Settings& settings, Libraries& libraries, ExtractionListener& listener)
    : m_settings(settings), m_libraries(libraries), m_listener(listener) {}

QString basRukasu::lastReport() const { return FileNameFromBytes(m_outBuf.data()); }

void basRukasu::log(ProductMsg message) { m_listener.logLine(MessageCatalogue::Product(message)); }

int16_t basRukasu::Archive_Extract(const QString& arc, const QString& dest, int16_t mode,
                                   ExtractedVolumes* volumes) {
  try {
    m_outBuf.fill('\0');  // no report of an earlier archive is read as this one's
    if (const QString first = volumes ? volumes->firstOf(arc) : QString(); !first.isEmpty()) {
      m_listener.logLine(QStringLiteral("[ ") + DispPath_Get(arc) + QStringLiteral(" ]"));
      m_listener.logLine(MessageCatalogue::Product(ProductMsg::LogSetVolumeHead) + DisplayPath(FileName_Get(first)) +
                         MessageCatalogue::Product(ProductMsg::LogSetVolumeTail));
      return 0;
    }
    Call call(m_settings.TmpDir);
    call.arc = arc;
    m_archiveName = DisplayPath(FileName_Get(arc));
    call.volumes = volumes;
    call.identity = FileIdentity::Of(arc);
    makeOutputFolder(call, dest, mode);
    m_listener.logLine(QStringLiteral("[ ") + DispPath_Get(arc) + QStringLiteral(" ]"));
    if (!call.usable || !Dir_Check(call.out)) {
      log(ProductMsg::LogNoDestination);
      return 1;
    }
    dispatch(call, Exp_Get(call.up, true, m_settings.Double));
    return complete(call, call.interpreted ? call.outcome : Result_Check(call.rc));
  } catch (...) {
    log(ProductMsg::LogUnexpectedFailure);
    return -1;
  }
}

void basRukasu::makeOutputFolder(Call& call, const QString& dest, int16_t mode) {
  call.up = UCase_Get(call.arc);
  const QString& namePath = m_settings.UCase ? call.up : call.arc;
  // A destination that is not an absolute folder path (the destination pane
  // could not name its folder) would resolve against the current folder.
  if (!dest.startsWith(u'/')) {
    call.usable = false;
    call.out = dest;
    return;
  }
  if (mode == Normal) {  // straight into the destination, which is never removed
    call.out = dest;
    return;
  }
  QString name;
  if (mode == NoDigits)
    name = DigitCut_Get(BaseName_Get(namePath, true, m_settings.Double));
  else if (mode == FileN)
    name = FileName_Get(namePath);
  else
    name = BaseName_Get(namePath, true, m_settings.Double);
  // An archive named "...lzh" would name the folder "..": that is no folder
  // of its own inside the destination.
  if (name == u'.' || name == QStringLiteral("..")) {
    call.usable = false;
    call.out = dest;
    return;
  }
  call.out = dest + name;
  bool existed = false;
  MakeFolder(call.out, existed);
  call.created = !existed;
  call.out += u'/';
}

void basRukasu::dispatch(Call& call, const QString& ext) {
  if (const DoubleKind* kind = FindDoubleKind(ext)) {
    if (kind->on(m_settings, m_libraries)) extractDouble(call, *kind);
    return;
  }
  // Kinds that share an extension (.EXE) are probed in table order; a
  // recognised kind ends the search, even when its library is busy.
  bool named = false;  // the extension is that of a kind that is on
  for (const ArchiveKind& kind : ArchiveKinds()) {
    if (ext != QLatin1String(kind.extension) || !kind.on(m_settings, m_libraries)) continue;
    named = true;
    const FamilyRow& family = kind.familyRow();
    if (kind.flags & kProbed) {
      if (!probe(family.library, *family.checkMessage, call.arc)) continue;
    }
    log(family.progressMessage);
    run(call, family.library, kind.form, m_settings.*kind.option);
    return;
  }
  // An extension that says nothing (a ZIP saved as "download"): the first bytes decide.
  if (named) return;
  if (const QString byContents = ExtensionByContents(call.arc); !byContents.isEmpty() && byContents != ext)
    dispatch(call, byContents);
}

bool basRukasu::probe(LibraryId library, ProductMsg checkMessage, const QString& path) {
  log(checkMessage);
  ArchiverLibrary* lib = m_libraries.library(library);
  return lib && lib->checkArchive(FileNameBytes(path), 1) == 1;
}

void basRukasu::run(Call& call, LibraryId library, CommandForm form, const QString& option) {
  QString command;
  if (!buildCommand(call, form, option, command)) {
    log(call.paths.failure().value_or(ProductMsg::LogStandInFailed));
    return;
  }
  call.rc = callLibrary(library, command);
  call.paths.finish();
}

bool basRukasu::buildCommand(Call& call, CommandForm form, const QString& option, QString& command) {
  CommandPaths& paths = call.paths;
  switch (form) {
    case CommandForm::Standard: {
      const QString arc = paths.archive(call.arc), out = paths.folder(call.out);
      if (arc.isEmpty() || out.isEmpty()) return false;
      command = option + u' ' + Quoted(arc) + u' ' + Quoted(out);
      return true;
    }
    case CommandForm::SingleFile: {
      const QString arc = paths.archive(call.arc), target = paths.newFile(call.out + BaseName_Get(call.arc, true, true));
      if (arc.isEmpty() || target.isEmpty()) return false;
      command = option + u' ' + Quoted(arc) + u' ' + Quoted(target);
      return true;
    }
    case CommandForm::Ish: {
      // No quotes here: the module reads the archive as everything before the
      // last " /F=", so only the folder must not hold that text.
      const QString out = paths.ishFolder(call.out);
      if (out.isEmpty()) return false;
      command = option + u' ' + call.arc + QStringLiteral(" /F=") + out;
      return true;
    }
  }
  return false;
}

int32_t basRukasu::callLibrary(LibraryId library, const QString& command) {
  ArchiverLibrary* lib = m_libraries.library(library);
  if (!lib) return -1;
  if (lib->getRunning() != 0) {
    const std::optional<ProductMsg> busy = BusyMessage(library);
    m_listener.busyNotice(busy ? MessageCatalogue::Product(*busy) : QString());
    return rkarc::kErrBusy;
  }
  m_outBuf.fill('\0');
  return CommandWithPasswords(*lib, FileNameBytes(command), m_outBuf.data(), static_cast<uint32_t>(m_outBuf.size()),
                              m_listener, m_archiveName);
}

void basRukasu::extractDouble(Call& call, const DoubleKind& kind) {
  const ArchiveKind& outer = kind.outerKind();
  const ArchiveKind& inner = kind.innerKind();
  log(*outer.familyRow().outerPassMessage);
  // A folder of its own inside TmpDir, so that two archives with the same
  // inner name never meet and a stale file is never taken for the inner archive.
  const QString work = CommandPaths::MakePrivateFolder(m_settings.TmpDir);
  if (work.isEmpty()) {
    log(ProductMsg::LogTmpDirUnusable);
    return;
  }
  passes(call, outer, inner, work);
  RemoveTree(work);  // the intermediate file goes whatever happened
}

void basRukasu::passes(Call& call, const ArchiveKind& outer, const ArchiveKind& inner, const QString& work) {
  CommandPaths& paths = call.paths;
  const QString innerName = BaseName_Get(call.arc, true, false);
  const QString arc = paths.archive(call.arc), workPath = paths.folder(work);
  if (arc.isEmpty() || workPath.isEmpty()) {
    log(paths.failure().value_or(ProductMsg::LogStandInFailed));
    return;
  }
  const QString first = m_settings.*outer.option + u' ' + Quoted(arc) + u' ' + Quoted(workPath) + u' ' +
                        Quoted(CommandPaths::MemberPattern(innerName));
  call.rc = callLibrary(outer.familyRow().library, first);
  if (call.rc == rkarc::kErrBusy) return;
  // The second pass's report replaces the first's, whose doubts count as well.
  call.outerKeeps = ModuleReport::Parse(m_outBuf.data()).keepReasons;
  const int16_t outcome = Result_Check(call.rc);
  if (outcome != 0) {
    call.interpreted = true;
    call.outcome = outcome;
    return;
  }
  log(*inner.familyRow().innerPassMessage);
  const QString tmpFile = paths.archive(work + innerName), out = paths.folder(call.out);
  if (tmpFile.isEmpty() || out.isEmpty()) {
    log(paths.failure().value_or(ProductMsg::LogStandInFailed));
    call.rc = -1;
    return;
  }
  call.rc = callLibrary(inner.familyRow().library, m_settings.*inner.option + u' ' + Quoted(tmpFile) + u' ' + Quoted(out));
}

int16_t basRukasu::complete(Call& call, int16_t outcome) {
  // The module named the stand-ins of CommandPaths; the log names the real files.
  ModuleReport report = ModuleReport::Parse(m_outBuf.data());
  report.keepReasons = call.outerKeeps + report.keepReasons;
  report.reason = call.paths.realText(report.reason);
  for (QString& why : report.keepReasons) why = call.paths.realText(why);
  for (QString& name : report.laterVolumes) name = call.paths.realName(name);
  if (outcome != 0) {
    if (call.created) RemoveIfEmpty(call.out.chopped(1));
    log(ProductMsg::LogNotExtracted);
    if (!report.reason.isEmpty()) m_listener.logLine(kReasonIndent + DisplayPath(report.reason));
    return outcome;
  }
  logNotes(call.paths);
  QString folder = call.out.chopped(1);
  if (folder.isEmpty()) folder = QStringLiteral("/");
  m_listener.extractedFolder(folder);
  const std::vector<ArchivePart> parts = archiveParts(call, report);
  const ArchiveVerdict verdict = JudgeArchive(call.rc, report);
  bool postActionDone = true;
  if (!verdict.mayLeave()) {
    // Said whenever the outcome depends on it, or the archive was to go.
    if (verdict.unproven || (m_settings.File >= PostCopy && m_settings.File <= PostDelete)) {
      log(*verdict.refusal);
      for (const QString& why : verdict.reasons) m_listener.logLine(kReasonIndent + DisplayPath(why));
    }
  } else {
    postActionDone = logPostResult(ApplyPostAction(m_settings.File, parts, call.out));
  }
  if (call.created) RemoveIfEmpty(folder);
  // What was not proven whole is never called a normal end.
  log(verdict.unproven ? ProductMsg::LogExtractedUnproven : ProductMsg::LogExtracted);
  // The archive was to be copied or moved and was not, or it was not proven
  // whole: its entry stays, and the run does not count it as done.
  return postActionDone && !verdict.unproven ? 0 : 1;
}

bool basRukasu::logPostResult(PostResult result) {
  switch (result) {
    case PostResult::DeleteDenied:
      log(ProductMsg::LogNotDeleted);
      break;
    case PostResult::DeletedOutright:
      log(ProductMsg::LogDeletedWithoutTrash);
      break;
    case PostResult::CopyFailed:
      log(m_settings.File == PostMove ? ProductMsg::LogMoveCopyFailed : ProductMsg::LogCopyFailed);
      return false;
    case PostResult::TargetDiffers:
      log(ProductMsg::LogCopyTargetDiffers);
      break;
    case PostResult::ArchiveChanged:
      log(ProductMsg::LogArchiveChanged);
      break;
    case PostResult::Done:
    case PostResult::DeleteFailed:
      break;
  }
  return true;
}

// Lines the library marked for the result log even after a success.
void basRukasu::logNotes(const CommandPaths& paths) {
  const QString prefix = QString::fromUtf8(rkarc::Report::kNotePrefix.data(),
                                           static_cast<qsizetype>(rkarc::Report::kNotePrefix.size()));
  for (const QString& line : lastReport().split(u'\n', Qt::SkipEmptyParts))
    if (line.startsWith(prefix)) m_listener.logLine(u'\u3000' + DisplayPath(paths.realText(line)));
}

std::vector<ArchivePart> basRukasu::archiveParts(const Call& call, const ModuleReport& report) {
  std::vector<ArchivePart> parts{{call.arc, call.identity}};
  if (report.volumeCount <= 1) return parts;
  const QString folder = call.arc.left(call.arc.lastIndexOf(u'/') + 1);
  QStringList later;
  for (const QString& name : report.laterVolumes) {
    later << folder + name;
    parts.push_back({later.last(), FileIdentity::Of(later.last())});
  }
  if (call.volumes) call.volumes->add(call.arc, later);
  return parts;
}

int16_t basRukasu::Result_Check(int32_t rc) {
  if (rc == rkarc::kOk) return 0;
  if (rc >= 1 && rc <= rkarc::kMaxSkipped) {
    m_listener.logLine(MessageCatalogue::Product(ProductMsg::LogSkippedHead) + QString::number(rc) +
                       MessageCatalogue::Product(ProductMsg::LogSkippedTail));
    return 0;
  }
  switch (rc) {
    case rkarc::kErrDiskFull: log(ProductMsg::LogDiskFull); return -1;
    case rkarc::kErrNotWritable: log(ProductMsg::LogNotWritable); return -1;
    case rkarc::kErrCancelled: log(ProductMsg::LogCancelled); return -1;
    default: return 1;
  }
}
