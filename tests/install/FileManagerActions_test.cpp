// The actions "ここに解凍 (Rukasu2)" and "フォルダに解凍 (Rukasu2)" that Dolphin
// (its service menu) and Files (our Nautilus extension) offer on archives: run
// on archives of two folders at once, they extract every one into the folder
// that holds it. Files' own file objects are the one stand-in: the extension
// gets objects of Nautilus' FileInfo interface for real files.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

const QString kServiceMenu = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/actions/org.example.Rukasu2.extract.desktop");
const QString kExtension = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/actions/rukasu2-nautilus.py");
const QString kMenuEntry = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/org.example.Rukasu2.desktop");
const QString kPython = QStringLiteral("/usr/bin/python3");

// Loads the extension as Files does, hands it the files of the command line
// (after the action's label), prints the labels it offers and runs the one
// asked for to its end.
const char kFilesDriver[] = R"(
import importlib.util, os, sys
import gi
gi.require_version("Nautilus", "4.0")
from gi.repository import Gio, GObject, Nautilus

found = importlib.util.spec_from_file_location("rukasu2_actions", sys.argv[1])
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

items = actions.Rukasu2Actions().get_file_items([File(p) for p in sys.argv[3:]])
print("offered: " + "|".join(item.props.label for item in items))
for item in items:
    if item.props.label == sys.argv[2]:
        item.activate()
        os.waitpid(-1, 0)
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

QProcessEnvironment ActionEnvironment(const TempFolder& tmp) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
    environment.remove(name);
  environment.insert("XDG_CONFIG_HOME", tmp.mkdir("config"));
  environment.insert("PATH", QStringLiteral(RUKASU2_BINARY_DIR ":") + environment.value("PATH"));
  // Where the extension finds the menu entry and its types, before the
  // system's folders with the database of file types.
  tmp.write("data/applications/org.example.Rukasu2.desktop", ReadFile(kMenuEntry));
  environment.insert("XDG_DATA_DIRS", tmp.file("data") + ":" + environment.value("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
  return environment;
}

// Dolphin runs the Exec line of the action named `label`, %F being the
// selected files, one argument each.
QString RunDolphinAction(const TempFolder& tmp, const QString& label, const QStringList& files) {
  QStringList arguments;
  for (const QString& action : DesktopValue(kServiceMenu, "Desktop Entry", "Actions").split(u';', Qt::SkipEmptyParts))
    if (DesktopValue(kServiceMenu, "Desktop Action " + action, "Name") == label)
      for (const QString& token : DesktopValue(kServiceMenu, "Desktop Action " + action, "Exec").split(u' '))
        arguments << (token == "%F" ? files : QStringList{token});
  if (arguments.isEmpty() || arguments.takeFirst() != "rukasu2") return "no action runs rukasu2 as " + label;
  QProcess program;
  program.setProcessEnvironment(ActionEnvironment(tmp));
  program.start(RUKASU2_BINARY_DIR "/rukasu2", arguments);
  program.waitForFinished(120000);
  return QString::fromUtf8(program.readAllStandardError());
}

QString RunFilesAction(const TempFolder& tmp, const QString& label, const QStringList& files) {
  const QString driver = tmp.write("driver.py", kFilesDriver);
  QProcess python;
  python.setProcessEnvironment(ActionEnvironment(tmp));
  python.setProcessChannelMode(QProcess::MergedChannels);
  python.start(kPython, QStringList{driver, kExtension, label} + files);
  python.waitForFinished(120000);
  return QString::fromUtf8(python.readAll());
}

bool FilesExtensionRuns() {
  return testing_support::Run(kPython, {"-c", "import gi; gi.require_version('Nautilus', '4.0')"}) == 0;
}

struct ActionRow {
  const char* name;
  bool files;       // Files, else Dolphin
  bool intoFolder;  // フォルダに解凍, else ここに解凍
};

class FileManagerAction : public testing::TestWithParam<ActionRow> {};

TEST_P(FileManagerAction, ExtractsEveryArchiveBesideItself) {
  const ActionRow& row = GetParam();
  RK_REQUIRE_PROGRAM("zip");
  if (row.files && !FilesExtensionRuns())
    GTEST_SKIP() << "Nautilus' introspection data is not installed (package gir1.2-nautilus-4.0)";
  TempFolder tmp;
  tmp.write("scratch/one.txt", "first");
  tmp.write("scratch/two.txt", "second");
  const QString zip = tmp.file("one/a.zip"), tgz = tmp.file("two folder/b.tar.gz");
  QDir().mkpath(tmp.file("one"));
  QDir().mkpath(tmp.file("two folder"));
  ASSERT_EQ(testing_support::Run("zip", {"-q", zip, "one.txt"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("tar", {"czf", tgz, "two.txt"}, tmp.file("scratch")), 0);

  const QString label = QString::fromUtf8(row.intoFolder ? "フォルダに解凍 (Rukasu2)" : "ここに解凍 (Rukasu2)");
  const QString output = row.files ? RunFilesAction(tmp, label, {zip, tgz}) : RunDolphinAction(tmp, label, {zip, tgz});
  const QString one = row.intoFolder ? "one/A/one.txt" : "one/one.txt";
  const QString two = row.intoFolder ? "two folder/B/two.txt" : "two folder/two.txt";
  EXPECT_EQ(ReadFile(tmp.file(one)), "first") << output.toStdString();
  EXPECT_EQ(ReadFile(tmp.file(two)), "second") << testing_support::Tree(tmp.path()).join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(, FileManagerAction,
                         testing::Values(ActionRow{"DolphinHere", false, false}, ActionRow{"DolphinIntoFolder", false, true},
                                         ActionRow{"FilesHere", true, false}, ActionRow{"FilesIntoFolder", true, true}),
                         [](const testing::TestParamInfo<ActionRow>& info) { return std::string(info.param.name); });

TEST(FileManagerActions, FilesOffersThemOnlyWhenEverySelectedFileIsAnArchive) {
  if (!FilesExtensionRuns()) GTEST_SKIP() << "Nautilus' introspection data is not installed (package gir1.2-nautilus-4.0)";
  TempFolder tmp;
  const QString zip = tmp.write("a.zip", "PK"), text = tmp.write("notes.txt", "text");
  EXPECT_TRUE(RunFilesAction(tmp, {}, {zip}).contains(QString::fromUtf8(
      "offered: ここに解凍 (Rukasu2)|フォルダに解凍 (Rukasu2)")));
  EXPECT_TRUE(RunFilesAction(tmp, {}, {zip, text}).contains("offered: \n"));
  EXPECT_TRUE(RunFilesAction(tmp, {}, {tmp.path()}).contains("offered: \n"));
}

TEST(FileManagerActions, DolphinOffersThemOnTheTypesOfTheMenuEntry) {
  EXPECT_EQ(DesktopValue(kServiceMenu, "Desktop Entry", "MimeType"), DesktopValue(kMenuEntry, "Desktop Entry", "MimeType"));
}

}  // namespace
