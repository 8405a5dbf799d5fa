// The make-folder command with real folders and real dialogs: the name checks
// and their messages, what is made from the answer, the parent's separator,
// and the command moving the destination pane.
#include "dialogs/basMkdir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <optional>

#include "tests/ui/DialogFixture.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/StandInWindows.h"
#include "text/MessageCatalogue.h"

namespace {

using testing_support::AnswerNextInputDialog;
using testing_support::ModalWatch;
using testing_support::TempFolder;

struct NameCase {
  const char* row;
  QString name;
  std::optional<SharedMsg> message;  // none: accepted
};

using M = SharedMsg;
constexpr std::nullopt_t kAccepted = std::nullopt;

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.row; }

class FolderNames : public testing::TestWithParam<NameCase> {};

TEST_P(FolderNames, AreCheckedInOrderWithTheFirstFailingMessage) {
  const NameCase& c = GetParam();
  ModalWatch watch({}, QMessageBox::Ok);
  EXPECT_EQ(CheckFolderName(nullptr, c.name), !c.message);
  if (!c.message) {
    EXPECT_TRUE(watch.texts().isEmpty());
  } else {
    EXPECT_EQ(watch.texts(), QStringList{MessageCatalogue::Shared(*c.message)});
    EXPECT_EQ(watch.titles(), QStringList{"RUKASU2"});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderNames,
    testing::Values(NameCase{"Plain", "新しいフォルダ", kAccepted}, NameCase{"TrailingSlash", "abc/", kAccepted},
                    NameCase{"DotInside", "a.b", kAccepted}, NameCase{"Blanks", "   ", kAccepted},
                    NameCase{"BlanksAroundName", "  abc  ", kAccepted}, NameCase{"Backslash", "a\\b", kAccepted},
                    NameCase{"SlashInside", "a/b", M::MkdirNoSlash}, NameCase{"LeadingSlash", "/abc", M::MkdirNoSlash},
                    NameCase{"SlashThenMore", "abc/ ", M::MkdirNoSlash},
                    NameCase{"Asterisk", "a*b", M::MkdirNoAsterisk},
                    NameCase{"AsteriskBeforeQuestion", "a?*", M::MkdirNoAsterisk},
                    NameCase{"Question", "a?b", M::MkdirNoQuestionMark},
                    NameCase{"LeadingDot", ".abc", M::MkdirDotAtEnds},
                    NameCase{"TrailingDot", "abc.", M::MkdirDotAtEnds}, NameCase{"Dot", ".", M::MkdirDotAtEnds},
                    NameCase{"DotSlash", "../", M::MkdirDotAtEnds}, NameCase{"BlankedDot", " . ", M::MkdirAbnormal},
                    NameCase{"BlankedParent", " ../", M::MkdirAbnormal},
                    NameCase{"Nul", QString("a") + QChar(u'\0') + "b", M::MkdirAbnormal}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.row); });

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(MakeFolder, AsksWithThePromptAndParentThenMakesTheTrimmedName) {
  TempFolder parent;
  ModalWatch watch({}, QMessageBox::Ok);
  auto asked = AnswerNextInputDialog("  作業 1/");
  const QString made = MakeFolder(nullptr, parent.path());
  EXPECT_TRUE(asked->seen);
  EXPECT_EQ(asked->title, "フォルダ名入力");
  EXPECT_EQ(asked->text, "作成するフォルダ名を入力してください\n" + parent.path());
  EXPECT_EQ(made, parent.path() + "/作業 1");
  EXPECT_TRUE(QFileInfo(made).isDir());
  EXPECT_TRUE(watch.texts().isEmpty());
}

TEST(MakeFolder, CancelBlanksAndRefusedNamesMakeNothing) {
  TempFolder parent;
  ModalWatch watch({}, QMessageBox::Ok);
  AnswerNextInputDialog("ignored", false);
  EXPECT_EQ(MakeFolder(nullptr, parent.path()), "");
  AnswerNextInputDialog("    ");
  EXPECT_EQ(MakeFolder(nullptr, parent.path()), "");
  EXPECT_TRUE(watch.texts().isEmpty());
  AnswerNextInputDialog("x/y");
  EXPECT_EQ(MakeFolder(nullptr, parent.path()), "");
  EXPECT_EQ(watch.texts(), QStringList{MessageCatalogue::Shared(SharedMsg::MkdirNoSlash)});
  EXPECT_TRUE(Entries(parent.path()).isEmpty());
}

TEST(MakeFolder, AnExistingNameFailsWithMessage104) {
  TempFolder parent;
  parent.mkdir("old");
  parent.write("file", "x");
  ModalWatch watch({}, QMessageBox::Ok);
  for (const char* name : {"old", "file"}) {
    AnswerNextInputDialog(name);
    EXPECT_EQ(MakeFolder(nullptr, parent.path()), "") << name;
  }
  EXPECT_EQ(watch.texts(), QStringList(2, MessageCatalogue::Shared(SharedMsg::MkdirNotMade)));
  EXPECT_EQ(Entries(parent.path()), QStringList({"file", "old"}));
}

TEST(MakeFolder, AParentThatIsNotAnAbsoluteFolderMakesNothing) {
  TempFolder parent;
  ModalWatch watch({}, QMessageBox::Ok);
  for (const QString& where : {QString(), QStringLiteral("relative"), parent.file("missing")}) {
    AnswerNextInputDialog("new");
    EXPECT_EQ(MakeFolder(nullptr, where), "") << where.toStdString();
  }
  EXPECT_EQ(watch.texts(), QStringList(3, MessageCatalogue::Shared(SharedMsg::MkdirNotMade)));
  EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + "/new"));
  EXPECT_TRUE(Entries(parent.path()).isEmpty());
}

TEST(MakeFolder, APathEndingInASeparatorGetsNoSecondOne) {
  EXPECT_EQ(NewFolderPath("/", "new"), "/new");
  EXPECT_EQ(NewFolderPath("/a/b", "new"), "/a/b/new");
  EXPECT_EQ(NewFolderPath("a/b", "new"), "");

  TempFolder parent;
  AnswerNextInputDialog("new");
  EXPECT_EQ(MakeFolder(nullptr, parent.path() + "/"), parent.path() + "/new");
}

TEST(MakeFolder, NeverChangesTheCurrentFolder) {
  TempFolder parent;
  const QString before = QDir::currentPath();
  AnswerNextInputDialog("new");
  ASSERT_FALSE(MakeFolder(nullptr, parent.path()).isEmpty());
  EXPECT_EQ(QDir::currentPath(), before);
}

TEST(MakeFolderCommand, MovesTheDestinationPaneAndRefreshesTheSourcePane) {
  testing_support::WindowContext c;
  TempFolder parent;
  QStringList log;
  testing_support::FolderPaneStandIn inDir("mdiInDir", log), outDir("mdiOutDir", log);
  outDir.folder = parent.path();
  c.context.windows.inDir = &inDir;
  c.context.windows.outDir = &outDir;

  AnswerNextInputDialog("", false);
  MakeFolderCommand(c.context);
  EXPECT_TRUE(log.isEmpty());

  AnswerNextInputDialog("made");
  MakeFolderCommand(c.context);
  EXPECT_EQ(log, QStringList({"mdiOutDir.setDirName(" + parent.path() + "/made)", "mdiInDir.RefreshForm"}));

  c.context.windows.inDir = nullptr;  // an unloaded pane is skipped
  log.clear();
  AnswerNextInputDialog("second");
  MakeFolderCommand(c.context);
  EXPECT_EQ(log, QStringList({"mdiOutDir.setDirName(" + parent.path() + "/made/second)"}));
}

}  // namespace
