// What every dialog shares: its placement read from the probed location, put
// back on the screen, saved at unload, and the close box unloading it so that
// the next showing loads it again.
#include "ui/DialogBase.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "settings/StoreLocation.h"
#include "ui/Twips.h"
#include "tests/ui/DialogFixture.h"

namespace {

using testing_support::DialogContext;

class SampleDialog : public DialogBase {
 public:
  SampleDialog(AppContext& context, QSize sizeTwips)
      : DialogBase(context, QStringLiteral("Sample"), sizeTwips, nullptr) {}
  int loads = 0;
  bool Form_Load() override {
    ++loads;
    restorePlacement();
    markLoaded();
    return true;
  }
  void SetFontData() override {}
  void SetToolTip(bool) override {}
};

void Store(DialogContext& c, const QString& key, const QString& value, const StoreLocation& at = CurrentLocation()) {
  c.store.write(at.application, at.section, key, value);
}

// Values as stored; "edge" and "edge+15" stand for the screen's extent in twips (and 15 twips beyond).
struct PlacementCase {
  const char* name;
  QString left, top;  // empty: absent
  QString expectedLeft, expectedTop;
};

void PrintTo(const PlacementCase& row, std::ostream* out) { *out << row.name; }

QString Resolve(const QString& value, int screenPixels) {
  if (!value.startsWith("edge")) return value;
  return QString::number(PxToTwips(screenPixels) + value.mid(4).toInt());
}

class DialogPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(DialogPlacement, IsReadAndPutBackOnTheScreen) {
  const PlacementCase& row = GetParam();
  ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  DialogContext c;
  if (!row.left.isEmpty()) Store(c, "Sample_Left", Resolve(row.left, screen.width()));
  if (!row.top.isEmpty()) Store(c, "Sample_Top", Resolve(row.top, screen.height()));
  SampleDialog dialog(c.context, QSize());
  ASSERT_TRUE(dialog.Form_Load());
  EXPECT_EQ(dialog.pos(), QPoint(TwipsToPx(Resolve(row.expectedLeft, screen.width()).toInt()),
                                 TwipsToPx(Resolve(row.expectedTop, screen.height()).toInt())));
}

INSTANTIATE_TEST_SUITE_P(Rows, DialogPlacement,
                         testing::Values(PlacementCase{"Defaults", "", "", "1000", "1000"},
                                         PlacementCase{"Stored", "3000", "450", "3000", "450"},
                                         PlacementCase{"Negative", "-5000", "-15", "1000", "1000"},
                                         PlacementCase{"BeyondTheScreen", "edge+15", "edge+15", "1000", "1000"},
                                         PlacementCase{"AtTheScreenEdge", "edge", "edge", "edge", "edge"}),
                         [](const testing::TestParamInfo<PlacementCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(DialogBase, AValueThatIsNoNumberKeepsItsDefault) {
  DialogContext c;
  Store(c, "Sample_Width", "wide");
  Store(c, "Sample_Top", "high");
  Store(c, "Sample_Height", "3000");
  SampleDialog sized(c.context, QSize(5000, 5000));
  ASSERT_TRUE(sized.Form_Load());
  EXPECT_EQ(sized.pos(), QPoint(TwipsToPx(1000), TwipsToPx(1000)));
  EXPECT_EQ(sized.size(), QSize(TwipsToPx(5000), 200));
}

TEST(DialogBase, SizeDefaultsAndTheEarlierLocation) {
  DialogContext c;
  Store(c, "Sample_Left", "1500", EarlierLocation());
  Store(c, "Sample_Height", "3000", EarlierLocation());
  Store(c, "Sample_Left", "6000");
  SampleDialog dialog(c.context, QSize(5000, 5000));
  ASSERT_TRUE(dialog.Form_Load());
  EXPECT_EQ(dialog.pos(), QPoint(100, TwipsToPx(1000)));
  EXPECT_EQ(dialog.size(), QSize(TwipsToPx(5000), 200));
}

TEST(DialogBase, UnloadSavesThePlacementToTheCurrentLocation) {
  DialogContext c;
  Store(c, "Sample_Left", "1500", EarlierLocation());
  SampleDialog dialog(c.context, QSize(5000, 5000));
  dialog.Form_Unload();  // never loaded: nothing is written
  EXPECT_EQ(c.store.read("Velmont Soft", "Rukasu2", "Sample_Left", "absent"), "absent");
  ASSERT_TRUE(dialog.Form_Load());
  dialog.move(30, 40);
  dialog.resize(300, 200);
  dialog.Form_Unload();
  EXPECT_FALSE(dialog.isLoaded());
  const StoreLocation at = CurrentLocation();
  EXPECT_EQ(c.store.read(at.application, at.section, "Sample_Left", ""), "450");
  EXPECT_EQ(c.store.read(at.application, at.section, "Sample_Top", ""), "600");
  EXPECT_EQ(c.store.read(at.application, at.section, "Sample_Width", ""), "4500");
  EXPECT_EQ(c.store.read(at.application, at.section, "Sample_Height", ""), "3000");
}

TEST(DialogBase, TheCloseBoxUnloadsAndTheNextShowingLoadsAgain) {
  DialogContext c;
  SampleDialog dialog(c.context, QSize());
  ASSERT_TRUE(dialog.Form_Load());
  testing_support::WhileShown(dialog, [&] { dialog.reject(); });  // a button: only hidden
  EXPECT_EQ(dialog.loads, 1);
  testing_support::WhileShown(dialog, [&] { dialog.close(); });
  EXPECT_FALSE(dialog.isLoaded());
  EXPECT_NE(c.store.read("Velmont Soft", "Rukasu2", "Sample_Left", "absent"), "absent");
  testing_support::WhileShown(dialog, [] {});
  EXPECT_EQ(dialog.loads, 2);
}

}  // namespace
