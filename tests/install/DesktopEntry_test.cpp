// The menu entry: valid for desktop-file-validate, and declaring, by the names
// of Debian's shared-mime-info database, the type of every archive kind the
// program extracts, so that "Open with" offers it for each of them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QXmlStreamReader>

#include "source/ArchivePattern.h"
#include "tests/source/SourceFixture.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kDesktopFile = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/org.example.Rukasu2.desktop");
const QString kMimeDatabase = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");

// The value of `key` in the [Desktop Entry] group.
QString EntryValue(const QString& key) {
  const QStringList lines = QString::fromUtf8(testing_support::ReadFile(kDesktopFile)).split(u'\n');
  for (const QString& line : lines)
    if (line.startsWith(key + u'=')) return line.mid(key.size() + 1);
  return {};
}

// The extension globs ("*.tar.gz") and aliases of shared-mime-info's database.
struct MimeDatabase {
  struct Glob {
    QString suffix;  // ".tar.gz"
    QString type;
    bool caseSensitive;
  };
  QList<Glob> globs;
  QHash<QString, QString> canonical;  // type or alias -> type

  explicit MimeDatabase(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QXmlStreamReader xml(&file);
    QString type;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      const auto attributes = xml.attributes();
      if (xml.name() == u"mime-type") {
        type = attributes.value("type").toString();
        canonical.insert(type, type);
      } else if (xml.name() == u"alias") {
        canonical.insert(attributes.value("type").toString(), type);
      } else if (xml.name() == u"glob") {
        const QString pattern = attributes.value("pattern").toString();
        if (pattern.startsWith(u"*.") && !pattern.mid(1).contains(u'*'))
          globs.append({pattern.mid(1), type, attributes.value("case-sensitive") == u"true"});
      }
    }
  }

  // The type of a file name by its longest matching extension glob, as the
  // shared-mime-info rules decide between "*.gz" and "*.tar.gz".
  QString typeOf(const QString& name) const {
    const Glob* best = nullptr;
    for (const Glob& glob : globs) {
      const auto sensitivity = glob.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
      if (name.endsWith(glob.suffix, sensitivity) && (!best || glob.suffix.size() > best->suffix.size())) best = &glob;
    }
    return best ? best->type : QString();
  }
};

TEST(DesktopEntry, PassesDesktopFileValidate) {
  RK_REQUIRE_PROGRAM("desktop-file-validate");
  QByteArray output;
  EXPECT_EQ(testing_support::Run("desktop-file-validate", {kDesktopFile}, {}, &output), 0) << output.constData();
  // It exits with 0 on mere warnings and hints: those count too.
  EXPECT_TRUE(output.trimmed().isEmpty()) << output.constData();
}

// "Open with" on several files: the Exec line with %F replaced by the files,
// one argument each, as a file manager starts it. With the automatic run set
// every archive is extracted without a window, whatever its name holds.
TEST(DesktopEntry, OpenWithSeveralArchivesExtractsEachOfThem) {
  RK_REQUIRE_PROGRAM("zip");
  testing_support::TempFolder tmp;
  const QString out = tmp.mkdir("out");
  const QString config = tmp.mkdir("config");
  tmp.write("config/Velmont Soft/Rukasu2.ini",
            "[General]\nAuto=True\nAutoExe=0\nAutoLog=False\nDir_Out=" + out.toUtf8() + "\nDir_Out_Yuko=True\n");
  tmp.write("scratch/one.txt", "first");
  tmp.write("scratch/two.txt", "second");
  const QString zip = tmp.file("src/a b.zip"), tgz = tmp.file("src/日本語 'x'.tar.gz");
  QDir().mkpath(tmp.file("src"));
  ASSERT_EQ(testing_support::Run("zip", {"-q", zip, "one.txt"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("tar", {"czf", tgz, "two.txt"}, tmp.file("scratch")), 0);

  QStringList arguments;
  for (const QString& token : EntryValue("Exec").split(u' ', Qt::SkipEmptyParts))
    arguments << (token == "%F" ? QStringList{zip, tgz} : QStringList{token});
  ASSERT_EQ(arguments.takeFirst(), "rukasu2");
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  environment.insert("XDG_CONFIG_HOME", config);
  program.setProcessEnvironment(environment);
  program.start(RUKASU2_BINARY_DIR "/rukasu2", arguments);
  ASSERT_TRUE(program.waitForFinished(120000));
  EXPECT_EQ(testing_support::ReadFile(out + "/A B/one.txt"), "first") << program.readAllStandardError().constData();
  EXPECT_EQ(testing_support::ReadFile(out + "/日本語 'X'/two.txt"), "second") << testing_support::Tree(out).join(' ').toStdString();
}

TEST(DesktopEntry, DeclaresTheTypeOfEveryArchiveKind) {
  const MimeDatabase database(kMimeDatabase);
  if (database.globs.isEmpty()) GTEST_SKIP() << kMimeDatabase.toStdString() << " is absent (package shared-mime-info)";
  const QStringList declared = EntryValue("MimeType").split(u';', Qt::SkipEmptyParts);
  const char* const names[] = {"a.zip",   "a.ZIP",   "a.lzh",    "a.LHA",      "a.arj",    "a.cab",  "a.rar",
                               "a.tar",   "a.tar.gz", "a.tgz",   "a.tar.Z",    "a.taz",    "a.gz",   "a.Z",
                               "a.tar.bz2", "a.bz2",  "a.7z",     "a.tar.xz",   "a.txz",    "a.xz",   "a.tar.zst",
                               "a.tzst",  "a.zst",   "a.tar.lz", "a.lz",       "a.tar.lzma", "a.tlz", "a.lzma"};
  for (const char* name : names) {
    const QString type = database.typeOf(name);
    EXPECT_FALSE(type.isEmpty()) << name << " has no type in the database";
    EXPECT_TRUE(declared.contains(type)) << name << " is " << type.toStdString() << ", not declared";
  }
}

// Back from the types to the kinds: each name the database gives a declared
// type is an extension of a kind that is on as the settings come. The
// contents decide for the few others: .lha (its kind is off unless chosen),
// Ruby's .gem (a tar), .zipx and the first volume .7z.001.
TEST(DesktopEntry, EveryNameOfADeclaredTypeIsExtracted) {
  const MimeDatabase database(kMimeDatabase);
  if (database.globs.isEmpty()) GTEST_SKIP() << kMimeDatabase.toStdString() << " is absent (package shared-mime-info)";
  QStringList declared;
  for (const QString& type : EntryValue("MimeType").split(u';', Qt::SkipEmptyParts)) declared << database.canonical.value(type);
  SourceContext c;
  c.allLibrariesPresent();
  const QStringList byContents = {".lha", ".gem", ".zipx", ".7z.001"};
  for (const MimeDatabase::Glob& glob : database.globs) {
    if (!declared.contains(glob.type) || byContents.contains(glob.suffix)) continue;
    EXPECT_TRUE(IsArchiveName("/a/x" + glob.suffix, c.context.settings, c.libraries)) << glob.suffix.toStdString();
  }
}

TEST(DesktopEntry, DeclaresOnlyTypesTheDatabaseKnows) {
  const MimeDatabase database(kMimeDatabase);
  if (database.canonical.isEmpty()) GTEST_SKIP() << kMimeDatabase.toStdString() << " is absent";
  const QStringList declared = EntryValue("MimeType").split(u';', Qt::SkipEmptyParts);
  EXPECT_FALSE(declared.isEmpty());
  for (const QString& type : declared)
    EXPECT_TRUE(database.canonical.contains(type)) << type.toStdString() << " is neither a type nor an alias";
}

}  // namespace
