// The command line: each argument one name as the shell split it, and the
// names handed to the real target list of a loaded main window (names
// skipped, the list emptied when it refuses the 1001st name).
#include <gtest/gtest.h>

#include <QMessageBox>

#include "shell/CommandLine.h"
#include "tests/support/ModalHelper.h"
#include "tests/shell/MainWindowWorld.h"
#include "text/MessageCatalogue.h"

namespace {

using testing_support::ModalWatch;

TEST(CommandLineNames, EachArgumentIsOneName) {
  struct Row {
    const char* name;
    QStringList arguments;
    QStringList names;
  };
  const Row rows[] = {
      {"absolute names in order", {"/a/x.zip", "/b/y.lzh"}, {"/a/x.zip", "/b/y.lzh"}},
      {"relative names made absolute", {"x.zip", "sub/y.lzh", "-x.zip"},
       {"/work/here/x.zip", "/work/here/sub/y.lzh", "/work/here/-x.zip"}},
      {"blanks and quotes stay in the name", {"/a/say \"hi\" now.zip", "\"q.zip"},
       {"/a/say \"hi\" now.zip", "/work/here/\"q.zip"}},
      {"the removal switch kept", {"/u"}, {"/u"}},
      {"empty arguments dropped", {"", "/a/x.zip", ""}, {"/a/x.zip"}},
  };
  for (const Row& row : rows) EXPECT_EQ(CommandLineNames(row.arguments, "/work/here"), row.names) << row.name;
}

struct Parsing : MainWindowWorld {
  Parsing() { EXPECT_EQ(load(), frmRukasu::Start::ShowWindow); }
  QString file(const QString& name) { return tmp.write("source/" + name, "x"); }
  bool parse(const QStringList& names) { return ParseCommandLine(names, *context->windows.file); }
};

TEST(ParseCommandLine, TakesEachNameInOrder) {
  Parsing p;
  const QString a = p.file("a.zip"), spaced = p.file("say \"hi\" now.lzh"), notes = p.file("notes.txt");
  const QString missing = p.source + "/missing.zip";
  struct Row {
    const char* name;
    QStringList names;
    QStringList entries;
  };
  const Row rows[] = {
      {"a name with blanks and quotes, then a plain one", {spaced, a}, {spaced, a}},
      {"missing names and other kinds are skipped", {missing, notes, a}, {a}},
      {"a name given twice is listed once", {a, a}, {a}},
  };
  for (const Row& row : rows) {
    p.setTargets({notes});  // whatever was listed before goes first
    EXPECT_TRUE(p.parse(row.names)) << row.name;
    EXPECT_EQ(p.targets(), row.entries) << row.name;
  }
}

TEST(ParseCommandLine, TheListIsEmptiedWhenItRefusesThe1001stName) {
  Parsing p;
  QStringList names;
  for (int i = 1; i <= 1001; ++i) names << p.file(QString("%1.zip").arg(i, 4, 10, QChar('0')));
  ModalWatch full({QMessageBox::Ok});
  EXPECT_FALSE(p.parse(names));
  EXPECT_TRUE(p.targets().isEmpty());
  EXPECT_EQ(full.texts(), QStringList({MessageCatalogue::Product(ProductMsg::TargetLimit)}));

  EXPECT_TRUE(p.parse(names.mid(1)));  // a thousand fit
  EXPECT_EQ(p.targets().size(), 1000);
}

TEST(ParseCommandLine, NamesFromStartUpAreOnTheListWhenAutoIsOff) {
  MainWindowWorld w;
  const QString a = w.makeZip("a.zip"), odd = w.makeZip("say \"hi\" now.zip");
  ASSERT_EQ(w.load({a, odd}), frmRukasu::Start::ShowWindow);
  EXPECT_EQ(w.targets(), QStringList({a, odd}));
}

}  // namespace
