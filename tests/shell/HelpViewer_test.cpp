// The help command's guide: it opens in the program, and it names every pane,
// button, menu entry and option by the caption the windows show, so that the
// guide and the program cannot drift apart unnoticed.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTextBrowser>

#include "engine/Libraries.h"
#include "settings/SettingsStore.h"
#include "ui/AppContext.h"
#include "ui/CommonMenu.h"
#include "shell/HelpViewer.h"
#include "source/mdiFile.h"
#include "source/mdiInFile.h"
#include "tests/support/TestSupport.h"
#include "text/MessageCatalogue.h"

namespace {

// Opens the help window and returns the guide's text as it shows it.
QString ShownGuide() {
  ShowHelp(nullptr);
  QString text;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() != "helpViewer") continue;
    if (auto* browser = window->findChild<QTextBrowser*>()) text = browser->toPlainText();
    window->close();
  }
  return text;
}

TEST(HelpViewer, ShowsTheJapaneseGuide) {
  const QString text = ShownGuide();
  EXPECT_TRUE(text.contains("Rukasu2 ユーザーガイド")) << text.left(200).toStdString();
}

struct Caption {
  const char* what;
  QString text;
};

QList<Caption> CaptionsTheWindowsShow() {
  using MessageCatalogue::Product;
  using MessageCatalogue::Shared;
  using P = ProductMsg;
  using S = SharedMsg;
  QList<Caption> captions;
  for (ProductMsg id : {P::RunOkavi, P::RunNormal, P::RunNoDigits, P::RunFileN})
    captions.append({"run button", Product(id)});
  captions.append({"cancel button", Shared(S::Cancel)});
  for (ProductMsg id : {P::SourceDirCaption, P::SourceFileCaption, P::TargetCaption, P::DestDirCaption,
                        P::StatusCaption, P::OutFileCaption})
    captions.append({"pane", Product(id)});
  for (ProductMsg id : {P::SourceSameAsDestination, P::TargetSameAsDestination, P::TargetSameAsSource,
                        P::DestSameAsSource, P::CopyFromSource, P::CopyFromDestination, P::CopyFromTemporary})
    captions.append({"popup item", Product(id)});
  for (SharedMsg id :
       {S::Refresh, S::AddAlias, S::MaintainAliases, S::SelectAll, S::UnselectAll, S::ClearList, S::RenameButton})
    captions.append({"popup item", Shared(id)});
  for (ProductMsg id :
       {P::OptionLzh, P::OptionZip, P::OptionArj, P::OptionIsh, P::OptionCab, P::OptionRar, P::OptionTar,
        P::AfterExtraction, P::AfterNone, P::AfterCopy, P::AfterMove, P::AfterDelete, P::OptionUCase, P::OptionDouble,
        P::OptionAuto, P::AutoOkavi, P::AutoNormal, P::AutoNoDigits, P::AutoFileN})
    captions.append({"option", Product(id)});
  for (SharedMsg id : {S::OptionResize, S::OptionToolTips, S::OptionLogToClipboard})
    captions.append({"option", Shared(id)});
  for (SharedMsg id : {S::InitButton, S::CancelButton, S::OkButton}) captions.append({"dialog button", Shared(id)});
  return captions;
}

TEST(HelpViewer, GuideNamesEveryCaptionTheWindowsShow) {
  const QString guide = ShownGuide();
  ASSERT_FALSE(guide.isEmpty());
  for (const Caption& caption : CaptionsTheWindowsShow()) {
    ASSERT_FALSE(caption.text.isEmpty()) << caption.what;
    EXPECT_TRUE(guide.contains(caption.text)) << caption.what << " \"" << caption.text.toStdString() << "\"";
  }
}

struct Context {
  testing_support::TempFolder tmp;
  SettingsStore store{tmp.path()};
  Libraries libraries;
  AppContext context{store, libraries};
};

TEST(HelpViewer, GuideNamesTheButtonsOfTheFilePanes) {
  const QString guide = ShownGuide();
  Context c;
  mdiInFile inFile(c.context);
  mdiFile file(c.context);
  QList<QPushButton*> buttons = inFile.findChildren<QPushButton*>() + file.findChildren<QPushButton*>();
  EXPECT_EQ(buttons.size(), 5);
  for (QPushButton* button : buttons)
    EXPECT_TRUE(guide.contains(u'［' + button->text() + u'］')) << button->text().toStdString();
}

TEST(HelpViewer, GuideNamesEveryCommonMenuEntry) {
  const QString guide = ShownGuide();
  Context c;
  CommonMenu menu(c.context, nullptr);
  QStringList entries;
  for (int i = 0; i < CommonMenu::kEntryCount; ++i) entries << menu.action(CommonMenu::Entry(i))->text();
  for (const char* name : {"mnuLogCopy", "mnuLogSave", "mnuInDirDefault", "mnuOutDirDefault", "mnuTmpDirDefault"})
    entries << menu.subAction(name)->text();
  for (QString entry : entries) {
    entry.remove(u'&');
    EXPECT_TRUE(guide.contains(entry)) << entry.toStdString();
  }
}

}  // namespace
