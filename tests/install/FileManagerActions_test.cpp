// The actions "Extract here" and "Extract to folder" ("ここに解凍" and
// "フォルダに解凍" in a Japanese session) that Dolphin (its service menu), Files
// (our Nautilus extension) and Thunar (through its archive plugin) offer on
// archives, each run as its file manager runs it: Files' extension under
// python3 with gi, Dolphin's command line through GIO's launcher, Thunar's
// script as its plugin spawns it. Files' own file objects are the one
// stand-in: the extension gets objects of Nautilus' FileInfo interface for real files.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

const QString kServiceMenu = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/actions/org.example.Rukasu2.extract.desktop");
const QString kExtension = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/actions/rukasu2-nautilus.py");
const QString kThunarScript = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/actions/org.example.Rukasu2.tap");
const QString kMenuEntry = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/org.example.Rukasu2.desktop");
const QString kPython = QStringLiteral("/usr/bin/python3");

// argv: HOW WHAT FILE...; a FILE with "*" is a pattern for names of any bytes. "files LABEL": loads the
// extension as Files does, prints the labels it offers and activates the one
// asked for, then runs the main loop until every child it started is reaped
// (by the extension: a zombie would stay). "exec COMMAND": GIO's launcher
// runs the command line of a desktop file with the files for %F. "tap SCRIPT
// ACTION": the script runs as Thunar's archive plugin spawns it (ACTION, the
// folder, the files).
const char kDriver[] = R"(
import glob, importlib.util, os, sys, time
import gi
gi.require_version("Nautilus", "4.0")
from gi.repository import Gio, GLib, GObject, Nautilus

how, what, names, paths = sys.argv[1], sys.argv[2], sys.argv[3:], []
action = names.pop(0) if how == "tap" else None
for name in names:
    paths += sorted(glob.glob(os.fsencode(name))) if "*" in name else [os.fsencode(name)]

def children():
    with open("/proc/self/task/%d/children" % os.getpid()) as f:
        return f.read().split()

def wait_all():
    deadline = time.monotonic() + 120
    while children() and time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)
    print("children left: %d" % len(children()))

if how == "files":
    found = importlib.util.spec_from_file_location("rukasu2_actions", os.environ["RUKASU2_EXTENSION"])
    actions = importlib.util.module_from_spec(found)
    found.loader.exec_module(actions)

    class File(GObject.Object, Nautilus.FileInfo):
        def __init__(self, path):
            super().__init__()
            self.path = path
        def do_get_location(self):
            return Gio.File.new_for_path(self.path)
        def do_get_mime_type(self):
            return Gio.content_type_guess(self.path, None)[0]
        def do_is_directory(self):
            return os.path.isdir(self.path)

    items = actions.Rukasu2Actions().get_file_items([File(p) for p in paths])
    print("offered: " + "|".join(item.props.label for item in items))
    for item in items:
        if item.props.label == what:
            item.activate()
            wait_all()
elif how == "exec":
    keys = GLib.KeyFile()
    entry = "[Desktop Entry]\nType=Application\nName=a\nExec=%s\n" % what
    keys.load_from_data(entry, len(entry.encode()), GLib.KeyFileFlags.NONE)
    started = []
    Gio.DesktopAppInfo.new_from_keyfile(keys).launch_uris_as_manager(
        [Gio.File.new_for_path(p).get_uri() for p in paths], None,
        GLib.SpawnFlags.SEARCH_PATH | GLib.SpawnFlags.DO_NOT_REAP_CHILD, None, None,
        lambda info, pid, data: started.append(pid), None)
    for pid in started:
        os.waitpid(pid, 0)
else:
    script = os.fsencode(what)
    os.waitpid(os.posix_spawn(script, [script, action.encode(), os.path.dirname(paths[0])] + paths, os.environb), 0)
)";

// The value of `key` in `group` of a desktop file.
QString DesktopValue(const QString& path, const QString& group, const QString& key) {
  QString current;
  for (const QString& line : QString::fromUtf8(ReadFile(path)).split(u'\n')) {
    if (line.startsWith(u'[')) current = line.mid(1, line.size() - 2);
    if (current == group && line.startsWith(key + u'=')) return line.mid(key.size() + 1);
  }
  return {};
}

QProcessEnvironment ActionEnvironment(const TempFolder& tmp, bool japanese) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
    environment.remove(name);
  environment.insert("XDG_CONFIG_HOME", tmp.mkdir("config"));
  environment.insert("PATH", QStringLiteral(RUKASU2_BINARY_DIR ":") + environment.value("PATH"));
  environment.insert("LC_MESSAGES", japanese ? "ja_JP.UTF-8" : "C.UTF-8");
  environment.insert("RUKASU2_EXTENSION", kExtension);
  // Where the extension finds the menu entry and its types, before the
  // system's folders with the database of file types.
  tmp.write("data/applications/org.example.Rukasu2.desktop", ReadFile(kMenuEntry));
  environment.insert("XDG_DATA_DIRS", tmp.file("data") + ":" + environment.value("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
  return environment;
}

QString RunDriver(const TempFolder& tmp, bool japanese, const QStringList& arguments) {
  const QString driver = tmp.write("driver.py", kDriver);
  QProcess python;
  python.setProcessEnvironment(ActionEnvironment(tmp, japanese));
  python.setProcessChannelMode(QProcess::MergedChannels);
  python.start(kPython, QStringList{driver} + arguments);
  python.waitForFinished(180000);
  return QString::fromUtf8(python.readAll());
}

bool FilesExtensionRuns() {
  return testing_support::Run(kPython, {"-c", "import gi; gi.require_version('Nautilus', '4.0')"}) == 0;
}

enum class Manager { Files, Dolphin, Thunar };

struct ActionRow {
  const char* name;
  Manager manager;
  bool intoFolder;  // "Extract to folder", else "Extract here"
  bool japanese;    // the session's language
};

// Runs the action as its file manager does.
QString RunAction(const TempFolder& tmp, const ActionRow& row, const QStringList& files) {
  switch (row.manager) {
    case Manager::Files: {
      const char* label = row.intoFolder ? (row.japanese ? "フォルダに解凍 (Rukasu2)" : "Extract to folder (Rukasu2)")
                                         : (row.japanese ? "ここに解凍 (Rukasu2)" : "Extract here (Rukasu2)");
      return RunDriver(tmp, row.japanese, QStringList{"files", QString::fromUtf8(label)} + files);
    }
    case Manager::Dolphin: {
      const QString action = row.intoFolder ? "extractToFolder" : "extractHere";
      return RunDriver(tmp, row.japanese,
                       QStringList{"exec", DesktopValue(kServiceMenu, "Desktop Action " + action, "Exec")} + files);
    }
    case Manager::Thunar:
      return RunDriver(tmp, row.japanese, QStringList{"tap", kThunarScript, "extract-here"} + files);
  }
  return {};
}

// A file's bytes by a path that need not be UTF-8 (QFile would not find it).
std::string ReadRaw(const QByteArray& path) {
  std::ifstream in(path.constData(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class FileManagerAction : public testing::TestWithParam<ActionRow> {};

// Two folders at once, a name in Shift_JIS bytes among them. "To folder"
// gives each archive a folder of its own beside it, but the one top folder of
// an archive alone, and a fresh name where the folder exists already.
TEST_P(FileManagerAction, ExtractsEveryArchiveBesideItself) {
  const ActionRow& row = GetParam();
  RK_REQUIRE_PROGRAM("zip");
  if (!FilesExtensionRuns()) GTEST_SKIP() << "Nautilus' introspection data is not installed (package gir1.2-nautilus-4.0)";
  TempFolder tmp;
  tmp.write("scratch/x/one.txt", "first");
  tmp.write("scratch/two.txt", "second");
  tmp.write("scratch/sj.txt", "third");
  tmp.write("two folder/B/old.txt", "kept");
  const QString zip = tmp.file("one/a.zip"), tgz = tmp.file("two folder/b.tar.gz"), sj = tmp.file("one/sj.zip");
  QDir().mkpath(tmp.file("one"));
  ASSERT_EQ(testing_support::Run("zip", {"-qr", zip, "x"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("tar", {"czf", tgz, "two.txt"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("zip", {"-q", sj, "sj.txt"}, tmp.file("scratch")), 0);
  const QByteArray one = tmp.file("one/").toUtf8(), shiftJis = one + "\x93\xFA\x96\x7B.zip";
  ASSERT_EQ(std::rename(sj.toUtf8().constData(), shiftJis.constData()), 0);

  const QString output = RunAction(tmp, row, {tmp.file("one/*.zip"), tgz});
  const QString tree = testing_support::Tree(tmp.path()).join(' ') + "\n" + output;
  EXPECT_EQ(ReadFile(tmp.file("one/x/one.txt")), "first") << tree.toStdString();
  EXPECT_EQ(ReadFile(tmp.file(row.intoFolder ? "two folder/B (2)/two.txt" : "two folder/two.txt")), "second")
      << tree.toStdString();
  EXPECT_EQ(testing_support::Tree(tmp.file("two folder/B")), QStringList{"old.txt"});
  EXPECT_EQ(ReadRaw(row.intoFolder ? one + "\x93\xFA\x96\x7B/sj.txt" : one + "sj.txt"), "third") << tree.toStdString();
  if (row.manager == Manager::Files) {
    EXPECT_TRUE(output.contains("children left: 0")) << output.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(, FileManagerAction,
                         testing::Values(ActionRow{"DolphinHere", Manager::Dolphin, false, false},
                                         ActionRow{"DolphinIntoFolder", Manager::Dolphin, true, true},
                                         ActionRow{"FilesHere", Manager::Files, false, false},
                                         ActionRow{"FilesIntoFolder", Manager::Files, true, true},
                                         ActionRow{"FilesIntoFolderInEnglish", Manager::Files, true, false},
                                         ActionRow{"ThunarExtractHere", Manager::Thunar, true, false}),
                         [](const testing::TestParamInfo<ActionRow>& info) { return std::string(info.param.name); });

TEST(FileManagerActions, FilesOffersThemOnlyWhenEverySelectedFileIsAnArchive) {
  if (!FilesExtensionRuns()) GTEST_SKIP() << "Nautilus' introspection data is not installed (package gir1.2-nautilus-4.0)";
  TempFolder tmp;
  const QString zip = tmp.write("a.zip", "PK"), text = tmp.write("notes.txt", "text");
  EXPECT_TRUE(RunDriver(tmp, true, {"files", {}, zip}).contains(QString::fromUtf8(
      "offered: ここに解凍 (Rukasu2)|フォルダに解凍 (Rukasu2)")));
  EXPECT_TRUE(RunDriver(tmp, false, {"files", {}, zip}).contains("offered: Extract here (Rukasu2)|Extract to folder (Rukasu2)"));
  EXPECT_TRUE(RunDriver(tmp, false, {"files", {}, zip, text}).contains("offered: \n"));
  EXPECT_TRUE(RunDriver(tmp, false, {"files", {}, tmp.path()}).contains("offered: \n"));
}

TEST(FileManagerActions, DolphinOffersThemOnTheTypesOfTheMenuEntry) {
  EXPECT_EQ(DesktopValue(kServiceMenu, "Desktop Entry", "MimeType"), DesktopValue(kMenuEntry, "Desktop Entry", "MimeType"));
}

}  // namespace
