// The command line: the argument text built from the program's arguments, and
// its parsing onto the real target list of a loaded main window (quotes, runs
// of blanks, an unclosed quote, names skipped, the list emptied when it
// refuses the 1001st name).
#include <gtest/gtest.h>

#include <QMessageBox>

#include "shell/CommandLine.h"
#include "tests/support/ModalHelper.h"
#include "tests/shell/MainWindowWorld.h"
#include "text/MessageCatalogue.h"

namespace {

using testing_support::ModalWatch;

TEST(ArgumentText, EachArgumentStaysOneName) {
  struct Row {
    const char* name;
    QStringList arguments;
    QString text;
  };
  const Row rows[] = {
      {"absolute names joined by blanks", {"/a/x.zip", "/b/y.lzh"}, "/a/x.zip /b/y.lzh"},
      {"relative names made absolute", {"x.zip", "sub/y.lzh"}, "/work/here/x.zip /work/here/sub/y.lzh"},
      {"a name with blanks quoted", {"/a/my file.zip", "z.zip"}, "\"/a/my file.zip\" /work/here/z.zip"},
      {"the removal switch kept", {"/u"}, "/u"},
      {"empty arguments dropped", {"", "/a/x.zip", ""}, "/a/x.zip"},
  };
  for (const Row& row : rows) EXPECT_EQ(ArgumentText(row.arguments, "/work/here"), row.text) << row.name;
}

struct Parsing : MainWindowWorld {
  Parsing() { EXPECT_EQ(load(), frmRukasu::Start::ShowWindow); }
  QString file(const QString& name) { return tmp.write("source/" + name, "x"); }
  bool parse(const QString& text) { return ParseCommandLine(text, *context->windows.file); }
};

TEST(ParseCommandLine, TakesEachNameInOrder) {
  Parsing p;
  const QString a = p.file("a.zip"), spaced = p.file("b c.lzh"), quoteInWord = p.file("q\"r.zip"),
                notes = p.file("notes.txt");
  const QString missing = p.source + "/missing.zip";
  struct Row {
    const char* name;
    QString text;
    QStringList entries;
  };
  const Row rows[] = {
      {"a quoted name with blanks, then a plain one", '"' + spaced + "\" " + a, {spaced, a}},
      {"runs of blanks give no empty names", "  " + a + "    " + quoteInWord + "   ", {a, quoteInWord}},
      {"a quote opening inside a word is part of it", quoteInWord, {quoteInWord}},
      {"missing names and other kinds are skipped", missing + ' ' + notes + ' ' + a, {a}},
      {"a quoted empty name is skipped", "\"\" " + a, {a}},
      {"a name given twice is listed once", a + ' ' + a, {a}},
  };
  for (const Row& row : rows) {
    p.setTargets({notes});  // whatever was listed before goes first
    EXPECT_TRUE(p.parse(row.text)) << row.name;
    EXPECT_EQ(p.targets(), row.entries) << row.name;
  }
}

TEST(ParseCommandLine, AnUnclosedQuoteEmptiesTheList) {
  Parsing p;
  const QString a = p.file("a.zip"), b = p.file("b.zip");
  EXPECT_FALSE(p.parse(a + " \"" + b));
  EXPECT_TRUE(p.targets().isEmpty());
}

TEST(ParseCommandLine, TheListIsEmptiedWhenItRefusesThe1001stName) {
  Parsing p;
  QStringList names;
  for (int i = 1; i <= 1001; ++i) names << p.file(QString("%1.zip").arg(i, 4, 10, QChar('0')));
  ModalWatch full({QMessageBox::Ok});
  EXPECT_FALSE(p.parse(names.join(' ')));
  EXPECT_TRUE(p.targets().isEmpty());
  EXPECT_EQ(full.texts(), QStringList({MessageCatalogue::Product(ProductMsg::TargetLimit)}));

  EXPECT_TRUE(p.parse(names.mid(1).join(' ')));  // a thousand fit
  EXPECT_EQ(p.targets().size(), 1000);
}

TEST(ParseCommandLine, NamesFromStartUpAreOnTheListWhenAutoIsOff) {
  MainWindowWorld w;
  const QString a = w.makeZip("a.zip"), spaced = w.makeZip("with blank.zip");
  ASSERT_EQ(w.load(ArgumentText({a, spaced}, w.source)), frmRukasu::Start::ShowWindow);
  EXPECT_EQ(w.targets(), QStringList({a, spaced}));
}

}  // namespace
