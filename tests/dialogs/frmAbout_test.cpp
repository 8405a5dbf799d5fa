// The about box: the library rows in their fixed order with blank rows after,
// the version text, the fixed texts and icon, and rows kept until a reload.
#include "dialogs/frmAbout.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/ui/DialogFixture.h"
#include "text/MessageCatalogue.h"

namespace {

using testing_support::PresentOnly;
using testing_support::WindowContext;
using L = LibraryId;

QString Text(QWidget& dialog, const QString& name) {
  if (auto* label = dialog.findChild<QLabel*>(name)) return label->text();
  if (auto* box = dialog.findChild<QLineEdit*>(name)) return box->text();
  ADD_FAILURE() << "no control " << name.toStdString();
  return {};
}

// Each row as "<library> <version>", blank rows as " ".
QStringList Rows(QWidget& dialog) {
  QStringList rows;
  for (int i = 0; i < frmAbout::kRows; ++i)
    rows << Text(dialog, QStringLiteral("lblProg(%1)").arg(i)) + u' ' +
                Text(dialog, QStringLiteral("lblVer(%1)").arg(i));
  return rows;
}

QString Row(const WindowContext& c, LibraryId id) {
  return LibraryFileName(id) + " Ver." + frmAbout::VersionText(c.libraries.version(id));
}

TEST(About, VersionTextHasTwoDecimals) {
  const std::pair<int, const char*> cases[] = {
      {112, "1.12"}, {5, "0.05"}, {250, "2.50"}, {0, "0.00"}, {65535, "655.35"}};
  for (const auto& [version, text] : cases) EXPECT_EQ(frmAbout::VersionText(version), text) << version;
}

TEST(About, OnlyTarAndUnrarFillTheFirstTwoRows) {
  WindowContext c;
  PresentOnly(c.libraries, {L::Tar, L::Unrar});
  frmAbout about(c.context);
  ASSERT_TRUE(about.Form_Load());
  QStringList expected = {Row(c, L::Tar), Row(c, L::Unrar)};
  while (expected.size() < frmAbout::kRows) expected << " ";
  EXPECT_EQ(Rows(about), expected);
}

TEST(About, RowsFollowTheFixedOrderAndNoLibraryLeavesAllBlank) {
  WindowContext c;
  PresentOnly(c.libraries, {L::SevenZip, L::Unrar, L::Bz2, L::Tar, L::Cab, L::Ish, L::Unarj, L::UnZip, L::Unlha});
  frmAbout about(c.context);
  ASSERT_TRUE(about.Form_Load());
  QStringList expected;
  for (LibraryId id : {L::Unlha, L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Bz2, L::Unrar, L::SevenZip})
    expected << Row(c, id);
  EXPECT_EQ(Rows(about), expected);
  EXPECT_TRUE(expected[6].startsWith("BZ2LIB.DLL Ver."));
  EXPECT_TRUE(expected[8].startsWith("SEVENZIP32.DLL Ver."));

  c.libraries.clear();
  frmAbout empty(c.context);
  ASSERT_TRUE(empty.Form_Load());
  EXPECT_EQ(Rows(empty), QStringList(frmAbout::kRows, " "));
}

TEST(About, FixedTextsAndTheIcon) {
  WindowContext c;
  frmAbout about(c.context);
  ASSERT_TRUE(about.Form_Load());
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(Text(about, "lblAboutProgName"), "Rukasu2 for Linux");
  EXPECT_EQ(Text(about, "lblAboutTitle"), "圧縮ファイル連続解凍プログラム２");
  EXPECT_EQ(Text(about, "lblAboutVersion"), "Ver.1.02");
  EXPECT_FALSE(Text(about, "lblAboutName").isEmpty());
  // No contact boxes that could only show placeholders, and no text selected on opening.
  EXPECT_TRUE(about.findChildren<QLineEdit*>().isEmpty());
  EXPECT_EQ(about.findChild<QPushButton*>("btnOK")->text(), "Ok");
  const auto* icon = about.findChild<QLabel*>("imgAbout");
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(icon->pixmap().isNull());
}

TEST(About, RowsAreRecomputedOnlyWhenTheBoxIsLoadedAgain) {
  WindowContext c;
  PresentOnly(c.libraries, {L::Unlha});
  frmAbout about(c.context);
  ASSERT_TRUE(about.Form_Load());
  const QStringList loaded = Rows(about);
  EXPECT_TRUE(loaded.first().startsWith("UNLHA32.DLL Ver."));
  PresentOnly(c.libraries, {L::UnZip});
  testing_support::WhileShown(about, [&] { about.findChild<QPushButton*>("btnOK")->click(); });
  EXPECT_EQ(Rows(about), loaded);                              // Ok only hid it
  testing_support::WhileShown(about, [&] { about.close(); });  // the close box unloads it
  testing_support::WhileShown(about, [] {});                   // so this showing loads it again
  EXPECT_TRUE(Rows(about).first().startsWith("UNZIP32.DLL Ver."));
}

}  // namespace
