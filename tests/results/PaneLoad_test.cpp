// The load and close handling of the three list panes: caption, tool tips and
// popup captions at load, nothing of it during the automatic run, a stored
// placement that is no number, and the placement saved at close.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <functional>
#include <memory>

#include "results/mdiOutFile.h"
#include "results/mdiStatus.h"
#include "source/mdiFile.h"
#include "tests/support/WindowContext.h"

namespace {

using testing_support::WindowContext;

struct PaneKind {
  const char* name;
  std::function<std::unique_ptr<PaneBase>(AppContext&)> make;
  QString prefix;   // of the placement keys
  QString caption;
  QMap<QString, QString> tips;  // control name -> tool tip when on
  QStringList popupCaptions;    // the pane's own items
};

template <typename Pane>
PaneKind Kind(const char* name, QString prefix, QString caption, QMap<QString, QString> tips, QStringList popup) {
  return {name,
          [](AppContext& context) { return std::make_unique<Pane>(context); },
          std::move(prefix),
          std::move(caption),
          std::move(tips),
          std::move(popup)};
}

std::vector<PaneKind> Kinds() {
  return {
      Kind<mdiStatus>("mdiStatus", "Status", "実行履歴", {{"lstKekka", "実行履歴"}}, {"初期化"}),
      Kind<mdiOutFile>("mdiOutFile", "OutFile", "解凍後フォルダ名",
                       {{"lstOutFile", "正常に解凍されたフォルダ名"}},
                       {"初期化", "リフレッシュ", "全て選択", "全て選択の解除"}),
      Kind<mdiFile>("mdiFile", "File", "解凍対象ファイル",
                    {{"lstFile", "このファイル名が解凍の対象となります"},
                     {"btnDel", "選択した圧縮ファイルを解凍の対象からはずします"},
                     {"btnDelAll", "全ての圧縮ファイルを解凍の対象からはずします"}},
                    {"全て選択", "全て選択の解除", "解凍先フォルダを同一",
                     "圧縮ファイル格納フォルダを同一"}),
  };
}

QStringList OwnPopupCaptions(PaneBase& pane, qsizetype count) {
  QStringList captions;
  for (QAction* action : pane.popupMenu()->actions().mid(0, count)) captions << action->text();
  return captions;
}

// A new pane of the kind, loaded.
std::unique_ptr<PaneBase> Loaded(const PaneKind& kind, AppContext& context) {
  auto pane = kind.make(context);
  EXPECT_TRUE(pane->Form_Load());  // the three never fail
  return pane;
}

TEST(PaneLoad, LoadSetsCaptionToolTipsAndPopupCaptions) {
  for (const PaneKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    WindowContext c;
    c.context.settings.Tip = true;
    auto pane = Loaded(kind, c.context);
    EXPECT_EQ(pane->windowTitle(), kind.caption);
    EXPECT_EQ(OwnPopupCaptions(*pane, kind.popupCaptions.size()), kind.popupCaptions);
    for (auto tip = kind.tips.begin(); tip != kind.tips.end(); ++tip)
      EXPECT_EQ(pane->findChild<QWidget*>(tip.key())->toolTip(), tip.value()) << tip.key().toStdString();

    pane->SetToolTip(false);
    for (const QString& control : kind.tips.keys())
      EXPECT_TRUE(pane->findChild<QWidget*>(control)->toolTip().isEmpty());
  }
}

TEST(PaneLoad, AutomaticRunSkipsEverythingAndTipOffLeavesNoTips) {
  for (const PaneKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    WindowContext c;
    c.context.AutoRunning = true;
    c.store.write("Velmont Soft", "Rukasu2", kind.prefix + "_Left", "not a number");  // not even read
    auto hidden = Loaded(kind, c.context);
    EXPECT_TRUE(hidden->windowTitle().isEmpty());

    c.context.AutoRunning = false;
    c.context.settings.Tip = false;
    c.context.settings.Resize = true;  // placement not read: the broken value does not matter
    auto shown = Loaded(kind, c.context);
    EXPECT_EQ(shown->windowTitle(), kind.caption);
    for (const QString& control : kind.tips.keys())
      EXPECT_TRUE(shown->findChild<QWidget*>(control)->toolTip().isEmpty());
  }
}

TEST(PaneLoad, PlacementThatIsNoNumberKeepsThePanesOwnAndCloseSavesIt) {
  for (const PaneKind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    WindowContext c;
    c.context.settings.Resize = false;
    {
      auto pane = kind.make(c.context);
      pane->setGeometry(30, 45, 300, 150);
      pane->Form_Unload();
    }
    EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", kind.prefix + "_Width", "").value_or(""), "4500");
    auto restored = Loaded(kind, c.context);
    EXPECT_EQ(restored->geometry(), QRect(30, 45, 300, 150));

    c.store.write("Velmont Soft", "Rukasu2", kind.prefix + "_Height", "tall");
    auto broken = kind.make(c.context);
    broken->resize(300, 90);
    ASSERT_TRUE(broken->Form_Load());
    EXPECT_EQ(broken->geometry(), QRect(30, 45, 300, 90));
  }
}

}  // namespace
