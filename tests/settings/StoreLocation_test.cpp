// The placement probe: which location a window reads its keys from, decided
// by its left key in the earlier location.
#include <gtest/gtest.h>

#include <QDir>

#include "settings/SettingsField.h"
#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"
#include "tests/settings/FreshConfig.h"

namespace {

struct ProbeRow {
  const char* name;
  const char* earlierFile;  // nullptr: no earlier location
  bool readsEarlier;
};

class PlacementProbe : public testing::TestWithParam<ProbeRow> {};

TEST_P(PlacementProbe, ChoosesTheLocation) {
  FreshConfig config;
  if (GetParam().earlierFile) config.writeIni("Rukasu2", GetParam().earlierFile);
  SettingsStore store;
  const StoreLocation chosen = PlacementLocation(store, "InDir_Left");
  EXPECT_EQ(chosen.application, GetParam().readsEarlier ? "Rukasu2" : "Velmont Soft");
  EXPECT_EQ(chosen.section, "Rukasu2");
}

const ProbeRow kProbeRows[] = {
    {"NoEarlierLocation", nullptr, false},
    {"EarlierWithoutTheKey", "[General]\nVersion=1.01\nMain_Left=100\n", false},
    {"MarkerValue", "[General]\nInDir_Left=-9999\n", false},
    {"MarkerWithFraction", "[General]\nInDir_Left=-9999.0\n", false},
    {"NearTheMarker", "[General]\nInDir_Left=-9999.4\n", true},
    {"Position", "[General]\nInDir_Left=120\n", true},
    {"Zero", "[General]\nInDir_Left=0\n", true},
    {"Word", "[General]\nInDir_Left=left\n", true},
    {"Empty", "[General]\nInDir_Left=\n", true},
};

INSTANTIATE_TEST_SUITE_P(Earlier, PlacementProbe, testing::ValuesIn(kProbeRows),
                         [](const testing::TestParamInfo<ProbeRow>& info) { return std::string(info.param.name); });

TEST(StoreLocation, UnreadableEarlierLocationSendsReadsToTheCurrentOne) {
  FreshConfig config;
  QDir().mkpath(config.ini("Rukasu2"));
  SettingsStore store;
  EXPECT_EQ(PlacementLocation(store, "Main_Left").application, "Velmont Soft");
}

TEST(StoreLocation, WindowReadsItsKeysFromTheChosenLocation) {
  FreshConfig config;
  config.writeIni("Rukasu2", "[General]\nOption_Left=38400\nOption_Top=oops\n");
  config.writeIni("Velmont Soft", "[General]\nOption_Left=15\nOption_Top=30\n");
  SettingsStore store;
  const StoreLocation from = PlacementLocation(store, "Option_Left");
  int32_t left = 0;
  int32_t top = 1000;
  EXPECT_TRUE(ReadInt32(store, from, "Option_Left", 1000, left));
  EXPECT_EQ(left, 38400);
  // A word where a number belongs is reported, and the field keeps its value.
  EXPECT_FALSE(ReadInt32(store, from, "Option_Top", 1000, top));
  EXPECT_EQ(top, 1000);
}

}  // namespace
