// The settings store on real INI files: where they lie, what reads back, and
// what removing a section or an application key takes away.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "settings/SettingsStore.h"
#include "tests/settings/FreshConfig.h"

namespace {

using testing_support::ReadFile;

const QString kApp = QStringLiteral("Velmont Soft");
const QString kSection = QStringLiteral("Rukasu2");

TEST(SettingsStore, EmptyStoreGivesDefaultsAndCreatesNothing) {
  FreshConfig config;
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Lzh_Opt", "x -+"), "x -+");
  EXPECT_TRUE(store.sync());
  EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST(SettingsStore, KeepsSectionsInIniFilesUnderXdgConfigHome) {
  FreshConfig config;
  {
    SettingsStore store;
    EXPECT_EQ(store.filePath(kApp, kSection), config.ini(kApp));
    ASSERT_TRUE(store.write(kApp, kSection, "Font_Name", "ＭＳ 明朝"));
    ASSERT_TRUE(store.write(kApp, "Other", "Key", "1"));
    ASSERT_TRUE(store.sync());
  }
  const QByteArray bytes = ReadFile(config.ini(kApp));
  // Keys at the top level, Japanese text as UTF-8 bytes rather than escapes.
  EXPECT_TRUE(bytes.startsWith("[General]\n")) << bytes.constData();
  EXPECT_TRUE(bytes.contains("Font_Name=\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D\n")) << bytes.constData();
  EXPECT_TRUE(QFileInfo::exists(config.path() + "/Velmont Soft/Other.ini"));
}

TEST(SettingsStore, TextsReadBackExactlyInAnotherStore) {
  FreshConfig config;
  const QStringList texts = {
      "",          "ＭＳ 明朝",      "@at sign",        "a, b",           " blanks around ", "C:\\dir\\file",
      "x=y",       "; not a comment", "\"quoted\"",      "#hash",          "[General]",       "1.02",
      "tab\there", "ｷｬﾝｾﾙ",          "\u3000leading", "/tmp/日本語/",
  };
  {
    SettingsStore store;
    for (int i = 0; i < texts.size(); ++i) store.write(kApp, kSection, QString("Key%1").arg(i), texts[i]);
    ASSERT_TRUE(store.sync());
  }
  SettingsStore reread;
  for (int i = 0; i < texts.size(); ++i)
    EXPECT_EQ(reread.read(kApp, kSection, QString("Key%1").arg(i), "default"), texts[i]) << i;
}

TEST(SettingsStore, EmptyValueIsNotAnAbsentKey) {
  FreshConfig config;
  config.writeIni(kApp, "[General]\nTmpDir=\n");
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "TmpDir", "/tmp/"), "");
}

TEST(SettingsStore, HandEditedCommaListReadsAsOneText) {
  FreshConfig config;
  config.writeIni(kApp, "[General]\nRar_Opt=-x,-u\n");
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Rar_Opt", ""), "-x,-u");
}

TEST(SettingsStore, UnreadableSectionFailsReadsAndSaves) {
  FreshConfig config;
  // A folder where the section's file should be: neither readable nor writable.
  QDir().mkpath(config.ini(kApp));
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Lzh", "True"), std::nullopt);
  store.write(kApp, kSection, "Lzh", "False");
  EXPECT_FALSE(store.sync());
}

TEST(SettingsStore, RemovingASectionDropsItsFileAndPendingValues) {
  FreshConfig config;
  SettingsStore store;
  store.write(kApp, kSection, "Saved", "1");
  ASSERT_TRUE(store.sync());
  store.write(kApp, kSection, "Pending", "2");
  EXPECT_TRUE(store.removeSection(kApp, kSection));
  EXPECT_FALSE(QFileInfo::exists(config.ini(kApp)));
  EXPECT_EQ(store.read(kApp, kSection, "Saved", "gone"), "gone");

  store.write(kApp, kSection, "After", "3");
  ASSERT_TRUE(store.sync());
  SettingsStore reread;
  EXPECT_EQ(reread.read(kApp, kSection, "After", ""), "3");
  EXPECT_EQ(reread.read(kApp, kSection, "Saved", "gone"), "gone");
  EXPECT_EQ(reread.read(kApp, kSection, "Pending", "gone"), "gone");
}

TEST(SettingsStore, RemovingAnAbsentSectionSucceeds) {
  FreshConfig config;
  SettingsStore store;
  EXPECT_TRUE(store.removeSection(kApp, kSection));
  EXPECT_TRUE(store.removeApplication("Rukasu2"));
}

TEST(SettingsStore, RemovingAnApplicationKeyTakesAllItsSectionsOnly) {
  FreshConfig config;
  const QString stray = config.writeIni("Rukasu2", "[General]\nVersion=1.01\n");
  SettingsStore store;
  store.write("Rukasu2", "Second", "Key", "1");
  store.write(kApp, kSection, "Key", "2");
  ASSERT_TRUE(store.sync());
  EXPECT_TRUE(store.removeApplication("Rukasu2"));
  EXPECT_FALSE(QFileInfo::exists(stray));
  EXPECT_FALSE(QFileInfo::exists(config.path() + "/Rukasu2"));
  EXPECT_EQ(store.read("Rukasu2", "Second", "Key", "gone"), "gone");
  EXPECT_EQ(store.read(kApp, kSection, "Key", ""), "2");
  EXPECT_TRUE(QFileInfo::exists(config.ini(kApp)));
}

TEST(SettingsStore, NamesThatWouldLeaveTheFolderAreRefused) {
  FreshConfig config;
  SettingsStore store(config.path() + "/root");
  EXPECT_FALSE(store.write("..", kSection, "Key", "x"));
  EXPECT_FALSE(store.write(kApp, "../escape", "Key", "x"));
  EXPECT_FALSE(store.write(kApp, kSection, "Group/Key", "x"));
  EXPECT_FALSE(store.write(kApp, kSection, "", "x"));
  EXPECT_EQ(store.read("", kSection, "Key", "d"), std::nullopt);
  EXPECT_FALSE(store.removeApplication(".."));
  EXPECT_FALSE(store.removeSection(kApp, "."));
  EXPECT_TRUE(store.sync());
  EXPECT_EQ(testing_support::Tree(config.path()), QStringList());
}

}  // namespace
