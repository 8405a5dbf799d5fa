// A folder pane's alias list and its 20 keys in the settings store.
#include <gtest/gtest.h>

#include "settings/FolderAliasList.h"
#include "settings/SettingsField.h"
#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"
#include "tests/settings/FreshConfig.h"

namespace {

QString Key(const char* kind, int slot) { return QString("Dir_In_Dir%1%2").arg(kind).arg(slot); }

TEST(FolderAliasList, LoadStopsAtTheFirstIncompleteSlotAndSaveEmptiesTheRest) {
  FreshConfig config;
  QByteArray ini = "[General]\n";
  for (int slot = 0; slot < 6; ++slot) {
    ini += QString("Dir_In_DirName%1=name%1\n").arg(slot).toUtf8();
    if (slot != 3) ini += QString("Dir_In_DirDir%1=/folder%1\n").arg(slot).toUtf8();
  }
  config.writeIni("Velmont Soft", ini);
  SettingsStore store;

  FolderAliasList list;
  list.load(store, CurrentLocation(), "Dir_In");
  ASSERT_EQ(list.count(), 3);  // slot 3 has a name but no folder
  EXPECT_EQ(list.last(), 2);
  EXPECT_EQ(list.at(2), (FolderAlias{"name2", "/folder2"}));

  list.save(store, CurrentLocation(), "Dir_In");
  ASSERT_TRUE(store.sync());
  SettingsStore reread;
  for (int slot = 0; slot < FolderAliasList::kSlots; ++slot) {
    QString name = "unset", folder = "unset";
    ASSERT_TRUE(ReadText(reread, CurrentLocation(), Key("Name", slot), "absent", name));
    ASSERT_TRUE(ReadText(reread, CurrentLocation(), Key("Dir", slot), "absent", folder));
    EXPECT_EQ(name, slot < 3 ? QString("name%1").arg(slot) : QString()) << slot;
    EXPECT_EQ(folder, slot < 3 ? QString("/folder%1").arg(slot) : QString()) << slot;
  }
}

TEST(FolderAliasList, TheTwoPanesKeepSeparateKeys) {
  FreshConfig config;
  SettingsStore store;
  FolderAliasList source, destination;
  source.append("src", "/in");
  destination.append("dst", "/out");
  source.save(store, CurrentLocation(), "Dir_In");
  destination.save(store, CurrentLocation(), "Dir_Out");
  FolderAliasList again;
  again.load(store, CurrentLocation(), "Dir_Out");
  ASSERT_EQ(again.count(), 1);
  EXPECT_EQ(again.at(0).name, "dst");
}

TEST(FolderAliasList, NamesAreComparedExactlyAndTheListHoldsTen) {
  FolderAliasList list;
  EXPECT_TRUE(list.append("Work", "/w"));
  EXPECT_TRUE(list.containsName("Work"));
  EXPECT_FALSE(list.containsName("work"));
  EXPECT_FALSE(list.append("", "/x"));  // an alias needs a name and a folder
  EXPECT_FALSE(list.append("x", ""));
  for (int i = 1; i < FolderAliasList::kSlots; ++i) EXPECT_TRUE(list.append(QString::number(i), "/f"));
  EXPECT_TRUE(list.isFull());
  EXPECT_FALSE(list.append("eleventh", "/f"));

  list.assign({{"a", "/a"}, {"", "/gap"}, {"c", "/c"}});
  EXPECT_EQ(list.count(), 1);  // taken up to the first incomplete pair
}

}  // namespace
