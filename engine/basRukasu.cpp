// Extraction of one archive; see basRukasu.h.
#include "engine/basRukasu.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>

#include "archivers/common/Report.h"
#include "engine/ExtractedVolumes.h"
#include "engine/ExtractionListener.h"
#include "engine/Libraries.h"
#include "engine/ModuleReport.h"
#include "engine/PathHelpers.h"
#include "engine/PostAction.h"
#include "engine/RunMode.h"
#include "settings/Settings.h"
#include "text/MessageCatalogue.h"

namespace {

constexpr int32_t kBusy = 0x801F;

// Lines of our own, for what a careful extractor must report beyond the
// classic lines.
constexpr int kTmpDirUnusable = 20050;
constexpr int kMoveCopyFailed = 20051;
constexpr int kArchiveChanged = 20052;
constexpr int kPathNotQuotable = 20053;
constexpr int kCopyTargetDiffers = 20054;
constexpr int kDeleteKeptSkipped = 20060;
constexpr int kCopyFailed = 20061;
constexpr int kSetVolumeHead = 20071;  // + the first volume's name + kSetVolumeTail
constexpr int kSetVolumeTail = 20072;
constexpr int kSetNotWhole = 20073;

// The module's reason for a failure goes on a line of its own below the
// failure line, indented one step further.
const QString kReasonIndent = QStringLiteral(u"\u3000\u3000");

int BusyMessage(LibraryId id) {
  switch (id) {
    case LibraryId::Unlha: return 20100;
    case LibraryId::UnZip: return 20101;
    case LibraryId::Ish: return 20102;
    case LibraryId::Unarj: return 20103;
    case LibraryId::Cab: return 20104;
    case LibraryId::Tar: return 20105;
    case LibraryId::Unrar: return 20106;
    case LibraryId::Bz2: break;
  }
  return 0;
}

// A path goes into a command between double quotes; one that holds a quote
// itself could not be read back unambiguously.
bool Quotable(const QString& path) { return !path.contains(u'"'); }
QString Quoted(const QString& path) { return u'"' + path + u'"'; }

// Makes the folder; `existed` tells that a folder or file of that name was
// there already. Any other failure shows later, when the folder is checked.
void MakeFolder(const QString& path, bool& existed) {
  existed = ::mkdir(path.toStdString().c_str(), 0777) != 0 && errno == EEXIST;
}

void RemoveIfEmpty(const QString& folder) { ::rmdir(folder.toStdString().c_str()); }

}  // namespace

struct basRukasu::Call {
  QString arc;
  QString up;            // the upper-cased path
  QString out;           // the output folder, ending with "/"
  bool created = false;  // made by this extraction, so it may be removed when empty
  bool usable = true;    // false when the folder name itself is unusable
  int32_t rc = -1;       // the library result; -1 while no library was called
  bool interpreted = false;  // the first pass of a double archive failed: outcome below
  int16_t outcome = 1;
  FileIdentity identity;  // the archive as it was when its extraction began
  ExtractedVolumes* volumes = nullptr;
};

basRukasu::basRukasu(const Settings& settings, Libraries& libraries, ExtractionListener& listener)
    : m_settings(settings), m_libraries(libraries), m_listener(listener) {}

QString basRukasu::lastReport() const { return QString::fromUtf8(m_outBuf.data()); }

void basRukasu::log(int productMessage) { m_listener.logLine(MessageCatalogue::Product(productMessage)); }

QString basRukasu::CmdPath_Get(const QString& path) {
  if (path.isEmpty() || !path.contains(u' ')) return path;
  QString shortPath = ShortPath_Get(path);
  if (shortPath.isEmpty()) return path;
  if (path.endsWith(u'/') && !shortPath.endsWith(u'/')) shortPath += u'/';
  return shortPath;
}

int16_t basRukasu::Archive_Extract(const QString& arc, const QString& dest, int16_t mode,
                                   ExtractedVolumes* volumes) {
  try {
    m_outBuf.fill('\0');  // no report of an earlier archive is read as this one's
    if (const QString first = volumes ? volumes->firstOf(arc) : QString(); !first.isEmpty()) {
      m_listener.logLine(QStringLiteral("[ ") + DispPath_Get(arc) + QStringLiteral(" ]"));
      m_listener.logLine(MessageCatalogue::Product(kSetVolumeHead) + FileName_Get(first) +
                         MessageCatalogue::Product(kSetVolumeTail));
      return 0;
    }
    Call call;
    call.arc = arc;
    call.volumes = volumes;
    call.identity = FileIdentity::Of(arc);
    makeOutputFolder(call, dest, mode);
    m_listener.logLine(QStringLiteral("[ ") + DispPath_Get(arc) + QStringLiteral(" ]"));
    if (!call.usable || !Dir_Check(call.out)) {
      log(20034);
      return 1;
    }
    const QString ext = Exp_Get(call.up, true, m_settings.Double);
    if (const ArchiveKind* kind = FindArchiveKind(ext); kind && kind->gate(m_settings, m_libraries))
      dispatch(call, *kind);
    return complete(call, call.interpreted ? call.outcome : Result_Check(call.rc));
  } catch (...) {
    log(20033);
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

void basRukasu::dispatch(Call& call, const ArchiveKind& kind) {
  switch (kind.action) {
    case KindAction::Call:
      log(kind.progressMessage);
      run(call, kind.library, kind.form, m_settings.*kind.option);
      break;
    case KindAction::ProbeExe:
      probeExe(call);
      break;
    case KindAction::ProbeX:
      if (probe(LibraryId::Unlha, 20010, call.arc)) {
        log(kind.progressMessage);
        run(call, kind.library, kind.form, m_settings.*kind.option);
      }
      break;
    case KindAction::ProbeLog:
      if (probe(LibraryId::Ish, 20012, CmdPath_Get(call.arc))) {
        log(kind.progressMessage);
        run(call, kind.library, kind.form, m_settings.*kind.option);
      }
      break;
    case KindAction::Double:
      extractDouble(call, QString::fromLatin1(kind.extension));
      break;
  }
}

void basRukasu::probeExe(Call& call) {
  for (const ExeProbe& p : ExeProbeChain()) {
    if (!p.gate(m_settings, m_libraries)) continue;
    if (!probe(p.library, p.checkMessage, call.arc)) continue;
    log(p.progressMessage);
    run(call, p.library, CommandForm::Standard, m_settings.*p.option);
    return;  // a recognised kind ends the chain, even when its library is busy
  }
}

bool basRukasu::probe(LibraryId library, int checkMessage, const QString& path) {
  log(checkMessage);
  ArchiverLibrary* lib = m_libraries.library(library);
  return lib && lib->checkArchive(path.toUtf8(), 1) == 1;
}

void basRukasu::run(Call& call, LibraryId library, CommandForm form, const QString& option) {
  QString command;
  if (!buildCommand(call, form, option, command)) {
    log(kPathNotQuotable);
    return;
  }
  call.rc = callLibrary(library, command);
}

bool basRukasu::buildCommand(const Call& call, CommandForm form, const QString& option, QString& command) {
  switch (form) {
    case CommandForm::Standard:
      if (!Quotable(call.arc) || !Quotable(call.out)) return false;
      command = option + u' ' + Quoted(call.arc) + u' ' + Quoted(call.out);
      return true;
    case CommandForm::SingleFile: {
      const QString target = call.out + BaseName_Get(call.arc, true, true);
      if (!Quotable(call.arc) || !Quotable(target)) return false;
      command = option + u' ' + Quoted(call.arc) + u' ' + Quoted(target);
      return true;
    }
    case CommandForm::Ish: {
      // No quotes here: the module reads the archive as everything before the
      // last " /F=", so only the folder must not hold that text.
      const QString arc = CmdPath_Get(call.arc), out = CmdPath_Get(call.out);
      if (!Quotable(arc) || !Quotable(out) || out.contains(QStringLiteral(" /F="))) return false;
      command = option + u' ' + arc + QStringLiteral(" /F=") + out;
      return true;
    }
  }
  return false;
}

int32_t basRukasu::callLibrary(LibraryId library, const QString& command) {
  ArchiverLibrary* lib = m_libraries.library(library);
  if (!lib) return -1;
  if (lib->getRunning() != 0) {
    m_listener.busyNotice(MessageCatalogue::Product(BusyMessage(library)));
    return kBusy;
  }
  m_outBuf.fill('\0');
  return lib->command(command.toUtf8(), m_outBuf.data(), static_cast<uint32_t>(m_outBuf.size()));
}

void basRukasu::extractDouble(Call& call, const QString& ext) {
  const DoubleKind kind = DoubleKindOf(ext);
  log(kind.first.message);
  QString tmp = m_settings.TmpDir;
  if (!tmp.endsWith(u'/')) tmp += u'/';
  // A folder of its own inside TmpDir, so that two archives with the same
  // inner name never meet and a stale file is never taken for the inner archive.
  // A relative TmpDir would resolve against whatever the current folder is.
  std::string pattern = (tmp + QStringLiteral("rukasu2-XXXXXX")).toStdString();
  if (!m_settings.TmpDir.startsWith(u'/') || ::mkdtemp(pattern.data()) == nullptr) {
    log(kTmpDirUnusable);
    return;
  }
  const QString work = QString::fromStdString(pattern) + u'/';
  const QString inner = BaseName_Get(call.arc, true, false);
  const QString tmpFile = work + inner;
  if (!Quotable(call.arc) || !Quotable(work) || !Quotable(inner) || !Quotable(call.out)) {
    log(kPathNotQuotable);
  } else {
    const QString first = m_settings.*kind.first.option + u' ' + Quoted(call.arc) + u' ' + Quoted(work) + u' ' +
                          Quoted(inner);
    call.rc = callLibrary(kind.first.library, first);
    if (call.rc != kBusy) {
      const int16_t outcome = Result_Check(call.rc);
      if (outcome == 0) {
        log(kind.second.message);
        const QString second = m_settings.*kind.second.option + u' ' + Quoted(tmpFile) + u' ' + Quoted(call.out);
        call.rc = callLibrary(kind.second.library, second);
      } else {
        call.interpreted = true;
        call.outcome = outcome;
      }
    }
  }
  QDir(work).removeRecursively();  // the intermediate file goes whatever happened
}

int16_t basRukasu::complete(Call& call, int16_t outcome) {
  const ModuleReport report = ModuleReport::Parse(m_outBuf.data());
  if (outcome != 0) {
    if (call.created) RemoveIfEmpty(call.out.chopped(1));
    log(20032);
    if (!report.reason.isEmpty()) m_listener.logLine(kReasonIndent + report.reason);
    return outcome;
  }
  logNotes();
  QString folder = call.out.chopped(1);
  if (folder.isEmpty()) folder = QStringLiteral("/");
  m_listener.extractedFolder(folder);
  const bool postActionDone = report.volumeCount > 1
      ? postActionForSet(call, report)
      : logPostResult(ApplyPostAction(m_settings.File, call.rc == 0, call.arc, call.out, call.identity));
  if (call.created) RemoveIfEmpty(folder);
  log(20031);
  // The archive was to be copied or moved and was not: its entry stays, and
  // the run does not count it as done.
  return postActionDone ? 0 : 1;
}

bool basRukasu::logPostResult(PostResult result) {
  switch (result) {
    case PostResult::DeleteDenied:
      log(20030);
      break;
    case PostResult::DeleteKeptSkipped:
      log(kDeleteKeptSkipped);
      break;
    case PostResult::CopyFailed:
      log(m_settings.File == PostMove ? kMoveCopyFailed : kCopyFailed);
      return false;
    case PostResult::TargetDiffers:
      log(kCopyTargetDiffers);
      break;
    case PostResult::ArchiveChanged:
      log(kArchiveChanged);
      break;
    case PostResult::Done:
    case PostResult::DeleteFailed:
      break;
  }
  return true;
}

// Lines the library marked for the result log even after a success.
void basRukasu::logNotes() {
  const QString prefix = QString::fromUtf8(rkarc::Report::kNotePrefix.data(),
                                           static_cast<qsizetype>(rkarc::Report::kNotePrefix.size()));
  for (const QString& line : lastReport().split(u'\n', Qt::SkipEmptyParts))
    if (line.startsWith(prefix)) m_listener.logLine(u'\u3000' + line);
}

bool basRukasu::postActionForSet(const Call& call, const ModuleReport& report) {
  const QString folder = call.arc.left(call.arc.lastIndexOf(u'/') + 1);
  QStringList later;
  for (const QString& name : report.laterVolumes) later << folder + name;
  if (call.volumes) call.volumes->add(call.arc, later);
  // Only a set read whole and without a kept file is acted on, and only as a
  // whole: a move deletes no volume before every one is copied.
  if (m_settings.File < PostCopy || m_settings.File > PostDelete) return true;
  if (call.rc != 0) {
    if (m_settings.File == PostDelete) log(kDeleteKeptSkipped);
    return true;
  }
  if (!report.namesWholeSet()) {
    log(kSetNotWhole);
    return true;
  }
  std::vector<std::pair<QString, FileIdentity>> set{{call.arc, call.identity}};
  for (const QString& path : later) set.emplace_back(path, FileIdentity::Of(path));
  if (m_settings.File != PostDelete) {
    for (const auto& [path, identity] : set) {
      const PostResult copied = ApplyPostAction(PostCopy, true, path, call.out, identity);
      if (copied != PostResult::Done) return logPostResult(copied);
    }
    if (m_settings.File == PostCopy) return true;
  }
  for (const auto& [path, identity] : set) {
    const PostResult deleted = ApplyPostAction(PostDelete, true, path, call.out, identity);
    if (deleted != PostResult::Done) logPostResult(deleted);
  }
  return true;
}

int16_t basRukasu::Result_Check(int32_t rc) {
  if (rc == 0) return 0;
  if (rc >= 1 && rc < 0x8000) {
    m_listener.logLine(MessageCatalogue::Product(20040) + QString::number(rc) + MessageCatalogue::Product(20041));
    return 0;
  }
  switch (rc) {
    case 0x8005: log(20042); return -1;
    case 0x8006: log(20043); return -1;
    case 0x8020: log(20044); return -1;
    default: return 1;
  }
}
