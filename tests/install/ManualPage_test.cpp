// The manual pages rukasu2(1) that the build makes, English and Japanese: they
// list the switches --help lists, every one a switch the program takes, and
// man formats them without a warning (as lintian runs it).
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "shell/ProgramOptions.h"
#include "tests/support/TestSupport.h"

namespace {

struct Page {
  const char* sub;      // its folder below man/, in the build folder as installed
  const char* options;  // the heading of its switches
};
const Page kPages[] = {{"man1", "OPTIONS"}, {"ja/man1", "オプション"}};

QString PageText(const Page& page) {
  const QString folder = QString(page.sub).remove("man1");
  return QString::fromUtf8(testing_support::ReadFile(RUKASU2_BINARY_DIR "/man/" + folder + "rukasu2.1"));
}

// The names of the terms that `term` finds in the text from `heading` to the
// next empty line or heading ("-h, --help" gives two, "--mode MODE" one).
QSet<QString> Switches(QString text, const QString& heading, const char* term) {
  text = text.mid(text.indexOf(heading)).replace("\\-", "-");
  text = text.left(text.indexOf(QRegularExpression("\n(\n|\\.SH)"), heading.size()));
  QSet<QString> out;
  for (auto it = QRegularExpression(term, QRegularExpression::MultilineOption).globalMatch(text); it.hasNext();)
    for (const QString& name : it.next().captured(1).split(", ")) out.insert(name.section(' ', 0, 0));
  return out;
}

TEST(ManualPage, ListsTheSwitchesOfHelpAndNoOthers) {
  const QSet<QString> help = Switches(HelpText(), QString::fromUtf8("オプション:"), R"(^  (\S.*?)(  |$))");
  EXPECT_TRUE(help.contains("--auto") && help.contains("--help") && help.contains("/U")) << help.size();
  for (const Page& page : kPages)
    EXPECT_EQ(Switches(PageText(page), QStringLiteral(".SH \"%1\"").arg(QString::fromUtf8(page.options)),
                       R"(^\.TP\n\\fB(.*?)\\fR)"),
              help)
        << page.sub;
  for (const QString& name : help) {
    if (name == "--" || name == "/U") continue;  // not switches of their own
    const ProgramOptions o = ProgramOptions::Parse({"--auto", name, "1"});
    EXPECT_FALSE(o.error.startsWith(QString::fromUtf8("不明なオプション")) || o.names.contains(name)) << name.toStdString();
  }
}

// The same sections, entries and blocks of lines shown as they are, in either language.
TEST(ManualPage, BothLanguagesHoldTheSameParts) {
  for (const char* request : {".SH ", ".TP\n", ".nf\n", ".PP\n"})
    EXPECT_EQ(PageText(kPages[0]).count(request), PageText(kPages[1]).count(request)) << request;
}

TEST(ManualPage, HelpFitsATerminalOf80Columns) {
  for (const bool japanese : {true, false})
    for (const QString& line : HelpText(japanese).split(u'\n')) EXPECT_LE(TerminalColumns(line), 80) << line.toStdString();
  // The English text lists the same switches.
  EXPECT_EQ(Switches(HelpText(false), "Options:", R"(^  (\S.*?)(  |$))"),
            Switches(HelpText(), QString::fromUtf8("オプション:"), R"(^  (\S.*?)(  |$))"));
}

// From its place below man/ man knows a page's language and loads the rules
// for breaking Japanese lines.
TEST(ManualPage, FormatsWithoutWarnings) {
  RK_REQUIRE_PROGRAM("man");
  testing_support::TempFolder tmp;
  for (const Page& page : kPages) {
    const QString installed = tmp.write(QStringLiteral("man/%1/rukasu2.1").arg(page.sub), PageText(page).toUtf8());
    QProcess man;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    environment.insert("MANWIDTH", "80");
    environment.insert("MANROFFSEQ", "");
    man.setProcessEnvironment(environment);
    man.setStandardOutputFile(QProcess::nullDevice());
    man.start("man", {"--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", installed});
    ASSERT_TRUE(man.waitForFinished(60000)) << page.sub;
    EXPECT_EQ(man.exitCode(), 0) << page.sub;
    EXPECT_EQ(man.readAllStandardError(), QByteArray()) << page.sub;
  }
}

}  // namespace
