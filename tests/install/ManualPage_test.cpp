// The manual pages rukasu2(1) that the build makes, English and Japanese: they
// list the switches --help lists, every one of them a switch the program takes,
// and man formats them without a warning (the check lintian makes).
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "shell/ProgramOptions.h"
#include "tests/support/TestSupport.h"

namespace {

struct Page {
  const char* name;
  QString path;      // in the build folder
  QString sub;       // its folder below share/man
  QString options;   // the title of its section of switches
};

const Page kPages[] = {
    {"English", QStringLiteral(RUKASU2_BINARY_DIR "/man/rukasu2.1"), QStringLiteral("man1"), QStringLiteral("OPTIONS")},
    {"Japanese", QStringLiteral(RUKASU2_BINARY_DIR "/man/ja/rukasu2.1"), QStringLiteral("ja/man1"),
     QString::fromUtf8("オプション")},
};

// The switches of the terms (".TP" and a bold line) in the page's section of switches.
QSet<QString> PageSwitches(const Page& page) {
  const QStringList lines = QString::fromUtf8(testing_support::ReadFile(page.path)).split(u'\n');
  QSet<QString> out;
  bool inSection = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (lines[i].startsWith(QStringLiteral(".SH"))) inSection = lines[i] == QStringLiteral(".SH \"%1\"").arg(page.options);
    if (!inSection || lines[i] != QStringLiteral(".TP") || i + 1 == lines.size()) continue;
    const QRegularExpressionMatch bold = QRegularExpression(QStringLiteral("^\\\\fB(.*?)\\\\fR")).match(lines[i + 1]);
    if (!bold.hasMatch()) continue;
    for (const QString& name : bold.captured(1).split(QStringLiteral(", ")))
      out.insert(QString(name).replace(QStringLiteral("\\-"), QStringLiteral("-")).section(u' ', 0, 0));
  }
  return out;
}

// The switches that --help lists under its heading "オプション": each term
// ends where the blanks before its description begin.
QSet<QString> HelpSwitches() {
  QSet<QString> out;
  bool inSection = false;
  for (const QString& line : HelpText().split(u'\n')) {
    if (!line.startsWith(u' ') && line.endsWith(u':')) inSection = line == QString::fromUtf8("オプション:");
    if (!inSection || !line.startsWith(QStringLiteral("  ")) || line.at(2) == u' ') continue;
    for (const QString& name : line.mid(2).section(QStringLiteral("  "), 0, 0).split(QStringLiteral(", ")))
      out.insert(name.section(u' ', 0, 0));
  }
  return out;
}

TEST(ManualPage, ListsTheSwitchesOfHelpAndNoOthers) {
  const QSet<QString> help = HelpSwitches();
  EXPECT_TRUE(help.contains(QStringLiteral("--auto")) && help.contains(QStringLiteral("--here")))
      << QStringList(help.begin(), help.end()).join(u' ').toStdString();
  for (const Page& page : kPages) {
    const QSet<QString> listed = PageSwitches(page);
    EXPECT_EQ(listed, help) << page.name << ": " << QStringList(listed.begin(), listed.end()).join(u' ').toStdString();
  }
  for (const QString& name : help) {
    if (name == QStringLiteral("--") || name == QStringLiteral("/U")) continue;  // not switches of their own
    const ProgramOptions o = ProgramOptions::Parse({QStringLiteral("--auto"), name, QStringLiteral("1")});
    EXPECT_FALSE(o.error.startsWith(QString::fromUtf8("不明なオプション"))) << name.toStdString();
  }
}

TEST(ManualPage, HelpFitsATerminalOf80Columns) {
  for (const QString& line : HelpText().split(u'\n')) EXPECT_LE(TerminalColumns(line), 80) << line.toStdString();
}

// As lintian runs man: on the page in its place below man/, from which man
// knows the page's language and loads the rules for breaking Japanese lines.
TEST(ManualPage, FormatsWithoutWarnings) {
  RK_REQUIRE_PROGRAM("man");
  testing_support::TempFolder tmp;
  for (const Page& page : kPages) {
    const QString installed = tmp.file("man/" + page.sub + "/rukasu2.1");
    QDir().mkpath(tmp.file("man/" + page.sub));
    ASSERT_TRUE(QFile::copy(page.path, installed)) << page.name;
    QProcess man;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("MANWIDTH", "80");
    environment.insert("MANROFFSEQ", "");
    man.setProcessEnvironment(environment);
    man.setWorkingDirectory(tmp.file("man"));
    man.setStandardOutputFile(QProcess::nullDevice());
    man.start("man", {"--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", installed});
    ASSERT_TRUE(man.waitForFinished(60000)) << page.name;
    EXPECT_EQ(man.exitCode(), 0) << page.name;
    EXPECT_EQ(man.readAllStandardError(), QByteArray()) << page.name;
  }
}

}  // namespace
