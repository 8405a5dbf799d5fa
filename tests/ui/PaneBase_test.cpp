// The behaviour every pane shares: the common menu in its popup, Menu_Enabled,
// the right-button popup, and the remembered placement.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsStore.h"
#include "ui/AppContext.h"
#include "ui/CommonMenu.h"
#include "ui/PaneBase.h"
#include "tests/support/TestSupport.h"

namespace {

class SamplePane : public PaneBase {
 public:
  explicit SamplePane(AppContext& context) : PaneBase(context, QStringLiteral("Sample")) {
    list = new QListWidget(this);
    popupMenu()->addAction(QStringLiteral("own item"));
    finishPopup();
    addPopupTrigger(list);
  }
  void SetToolTip(bool) override {}
  QListWidget* list;

 protected:
  QList<QWidget*> fontControls() const override { return {list}; }
};

struct Context {
  testing_support::TempFolder tmp;
  SettingsStore store{tmp.path()};
  Libraries libraries;
  AppContext context{store, libraries};
  Context() { context.settings = DefaultSettings(); }
};

TEST(PaneBase, PopupHoldsOwnItemsThenTheCommonMenu) {
  Context c;
  SamplePane pane(c.context);
  const QList<QAction*> actions = pane.popupMenu()->actions();
  ASSERT_EQ(actions.size(), 1 + CommonMenu::kEntryCount);
  EXPECT_EQ(actions[0]->text(), "own item");
  QStringList captions;
  for (QAction* a : actions.mid(1)) captions << a->text();
  EXPECT_EQ(captions, QStringList({"E(&x)it", "Fon(&t)", "(&L)og", "(&D)efault", "(&O)ption", "M(&k)dir", "(&H)elp",
                                   "(&A)bout"}));
}

TEST(PaneBase, MenuEnabledTakesTheBooleanText) {
  Context c;
  SamplePane pane(c.context);
  pane.Menu_Enabled("False");
  for (int i = 0; i < CommonMenu::kEntryCount; ++i)
    EXPECT_FALSE(pane.commonMenu().isEnabled(CommonMenu::Entry(i)));
  pane.Menu_Enabled("maybe");  // not a boolean: nothing changes
  EXPECT_FALSE(pane.commonMenu().isEnabled(CommonMenu::mnuAbout));
  pane.Menu_Enabled("True");
  for (int i = 0; i < CommonMenu::kEntryCount; ++i)
    EXPECT_TRUE(pane.commonMenu().isEnabled(CommonMenu::Entry(i)));
}

TEST(PaneBase, RightPressOnTheListOpensThePopup) {
  Context c;
  SamplePane pane(c.context);
  pane.resize(300, 200);
  pane.list->resize(200, 100);
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  QTest::mousePress(pane.list->viewport(), Qt::RightButton, {}, QPoint(10, 10));
  QTRY_VERIFY(pane.popupMenu()->isVisible());
  pane.popupMenu()->close();
  QTest::mousePress(pane.list->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(pane.popupMenu()->isVisible());
  pane.close();
}

TEST(PaneBase, PlacementIsSavedInTwipsAndRestored) {
  Context c;
  c.context.settings.Resize = false;
  {
    SamplePane pane(c.context);
    pane.setGeometry(20, 30, 400, 300);
    pane.savePlacement();
  }
  c.store.sync();
  SamplePane again(c.context);
  again.restorePlacement();
  EXPECT_EQ(again.geometry(), QRect(20, 30, 400, 300));

  c.store.write("Velmont Soft", "Rukasu2", "Sample_Top", "abc");  // not a number: the pane's own stays
  SamplePane broken(c.context);
  broken.setGeometry(5, 6, 100, 100);
  broken.restorePlacement();
  EXPECT_EQ(broken.geometry(), QRect(20, 6, 400, 300));

  c.context.settings.Resize = true;  // tiled panes neither restore nor save
  SamplePane tiled(c.context);
  tiled.setGeometry(1, 2, 300, 200);
  tiled.restorePlacement();
  EXPECT_EQ(tiled.geometry(), QRect(1, 2, 300, 200));
}

// Twips that are no whole number of pixels come back unchanged when the
// window was not moved, instead of drifting by the rounding each time.
TEST(PaneBase, UnmovedPlacementKeepsItsTwips) {
  Context c;
  c.context.settings.Resize = false;
  for (const char* key : {"Sample_Left", "Sample_Top", "Sample_Width", "Sample_Height"})
    c.store.write("Velmont Soft", "Rukasu2", key, "1007");
  SamplePane pane(c.context);
  pane.restorePlacement();
  pane.savePlacement();
  EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", "Sample_Left", "").value_or(""), "1007");
  EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", "Sample_Height", "").value_or(""), "1007");
  pane.move(pane.x() + 2, pane.y());
  pane.savePlacement();
  EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", "Sample_Left", "").value_or(""), QString::number((1007 / 15 + 2) * 15));
  EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", "Sample_Top", "").value_or(""), "1007");
}

}  // namespace
