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
#include "shell/AppContext.h"
#include "shell/CommonMenu.h"
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
  QList<Caption> captions;
  for (int id : {1, 2, 3, 4}) captions.append({"run button", Product(id)});
  captions.append({"cancel button", Shared(5)});
  for (int id : {1000, 2000, 3000, 4000, 5000, 6000}) captions.append({"pane", Product(id)});
  for (int id : {1004, 3006, 3007, 4004, 9005, 9006, 9007}) captions.append({"popup item", Product(id)});
  for (int id : {1005, 1006, 1007, 2006, 2007, 2008, 11003}) captions.append({"popup item", Shared(id)});
  for (int id : {8001, 8002, 8003, 8004, 8005, 8070, 8006, 8027, 8028, 8029, 8030, 8031, 8036, 8037, 8038, 8048, 8049,
                 8050, 8051})
    captions.append({"option", Product(id)});
  for (int id : {8056, 8058, 8060}) captions.append({"option", Shared(id)});
  for (int id : {8042, 8043, 8044}) captions.append({"dialog button", Shared(id)});
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
