// Rukasu2: extracts many archive files in one run.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Libraries.h"
#include "engine/Passwords.h"
#include "engine/PathHelpers.h"
#include "engine/ProgramVersion.h"
#include "platform/FileName.h"
#include "platform/Locale.h"
#include "settings/Settings.h"
#include "settings/SettingsFault.h"
#include "settings/SettingsStore.h"
#include "text/MessageCatalogue.h"
#include "ui/AppContext.h"
#include "shell/CommandLine.h"
#include "ui/ProgramIcon.h"
#include "shell/ProgramOptions.h"
#include "ui/QtTranslations.h"
#include "shell/RunNotice.h"
#include "ui/WindowFont.h"
#include "shell/frmRukasu.h"

namespace {

void Print(FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

// The arguments as their bytes: a name that is not UTF-8 keeps them (Qt's
// own decoding of the arguments would not).
QStringList RawArguments(int argc, char** argv) {
  QStringList out;
  for (int i = 1; i < argc; ++i) out << FileNameFromBytes(argv[i]);
  return out;
}

// The name made absolute against the current folder.
QString AbsolutePath(const QString& name) {
  return name.startsWith(u'/') ? name : CurrentFolderPath() + u'/' + name;
}

QString VersionText() {
  Libraries libraries;
  Dll_Check(libraries);
  QString text = QStringLiteral("Rukasu2 %1\n").arg(ProgramVersion());
  const QString folder = SystemFolderPath();
  for (int i = 0; i < kLibraryCount; ++i) {
    const auto id = LibraryId(i);
    const QString name = LibraryFileName(id).leftJustified(16);
    if (libraries.present(id))
      text += QStringLiteral("%1Ver.%2  %3/%4\n")
                  .arg(name, QString::number(libraries.version(id) / 100.0, 'f', 2), folder, LibraryFileName(id));
    else
      text += name + QStringLiteral("なし\n");
  }
  return text;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* value = std::getenv(name); value && *value) return true;
  return false;
}

// Whether start-up will run the named archives without a window: forced by
// --auto, or names given while the automatic-run setting is on.
bool AutomaticRunAhead(const ProgramOptions& options) {
  if (options.autoRun) return true;
  if (options.names.isEmpty()) return false;
  SettingsStore store;
  Settings settings;
  LoadSettings(settings, store);
  return settings.Auto;
}

// With --notify, how the automatic run ended goes to the desktop too: started
// from a file manager, the run has no one reading its standard output.
void NotifyAutomaticRun(const BatchRun::Tally* run, const QString& nothingToExtract) {
  constexpr std::chrono::seconds kWait{3};  // for the service's answer, before the program ends
  RunNotice notice;
  if (!nothingToExtract.isEmpty())
    notice.show(nothingToExtract, QString(), kWait);
  else if (run && RunNotice::Deserved(*run, true))
    notice.showRun(*run, kWait);
}

// An automatic run that found nothing to extract ends at once, with the
// status of a run that extracted nothing: a script's `xargs` may hand over no name at all.
int NothingToExtract(bool notify) {
  const QString nothing = QStringLiteral("解凍できる圧縮ファイルがありません");
  Print(stderr, QStringLiteral("rukasu2: ") + nothing + u'\n');
  if (notify) NotifyAutomaticRun(nullptr, nothing);
  return kExitSomeFailed;
}

// How many of the arguments Qt may read: those before "--", which ends the
// switches; Qt would take a name such as "-style=a.zip" for one of its own.
int QtArgumentCount(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--") == 0) return i;
  return argc;
}

}  // namespace

int main(int argc, char** argv) {
  const bool japanese = JapaneseLocale();  // before the locale may be changed to a UTF-8 one
  EnsureUtf8Locale();
  const QStringList rawArguments = RawArguments(argc, argv);
  const ProgramOptions options = ProgramOptions::Parse(rawArguments);
  if (!options.error.isEmpty()) {
    Print(stderr, QStringLiteral("rukasu2: ") + options.error + QStringLiteral("\n") + HelpText(japanese));
    return kExitUsage;
  }
  if (options.help) {
    Print(stdout, HelpText(japanese));
    return 0;
  }
  if (options.version) {
    Print(stdout, VersionText());
    return 0;
  }
  QString dest;
  if (!options.dest.isEmpty()) {
    dest = LongPath_Get(AbsolutePath(options.dest));
    if (dest.isEmpty() || !Dir_Check(dest)) {
      Print(stderr, QStringLiteral("rukasu2: 解凍先フォルダがありません: ") + DisplayPath(options.dest) + u'\n');
      return kExitUsage;
    }
  }
  // Read once, before anything else runs; the passwords are never printed.
  if (!options.passwordFile.isEmpty() && !RunPasswords().addFile(AbsolutePath(options.passwordFile))) {
    Print(stderr, QStringLiteral("rukasu2: ") + MessageCatalogue::Product(ProductMsg::LogPasswordFileUnreadable) +
                      DisplayPath(options.passwordFile) + u'\n');
    return kExitUsage;
  }
  // Without a display an automatic run still works, on the offscreen platform.
  if (!HasDisplay() && AutomaticRunAhead(options)) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  const int namesAfter = QtArgumentCount(argc, argv);  // "--" and what follows it, if any
  int qtArgc = namesAfter;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Rukasu2"));
  QApplication::setWindowIcon(ProgramIcon());
  const std::unique_ptr<QTranslator> qtTexts = JapaneseQtTexts();
  if (qtTexts) QCoreApplication::installTranslator(qtTexts.get());
  // Message boxes and dialogs draw Japanese in one design too.
  QApplication::setFont(WithJapaneseFallback(QApplication::font()));
  // Lets the desktop match the window with its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Rukasu2"));

  // Qt has taken its own arguments (-platform ...) out of argc and argv by now;
  // what follows "--" it never saw.
  const QStringList names = CommandLineNames(
      ProgramOptions::Parse(RawArguments(qtArgc, argv) + rawArguments.mid(namesAfter - 1)).names, CurrentFolderPath());
  if (options.autoRun && names.isEmpty()) return NothingToExtract(options.notify);

  SettingsStore store;
  Libraries libraries;
  AppContext context(store, libraries);
  frmRukasu window(context);
  frmRukasu::AutoRequest request;
  request.forced = options.autoRun;
  request.mode = options.mode;
  request.dest = dest;
  request.here = options.here;
  request.echo = [](const QString& line) { Print(stdout, line + u'\n'); };
  window.setAutoRequest(request);
  int exitCode = 0;
  if (window.MDIForm_Load(names, &exitCode) == frmRukasu::Start::EndProgram) {
    if (options.autoRun && exitCode == kExitSomeFailed && window.autoRunStatus() == 0) {
      NothingToExtract(options.notify);
    } else if (options.notify) {
      NotifyAutomaticRun(&window.batchRun().lastRun(), QString());
    }
    // Without a window, what went wrong with the settings files goes to the terminal.
    if (const QString faults = SettingsFaultMessage(store.takeFaults()); !faults.isEmpty())
      Print(stderr, QStringLiteral("rukasu2: ") + faults + u'\n');
    return exitCode;
  }
  window.show();
  return QApplication::exec();
}
