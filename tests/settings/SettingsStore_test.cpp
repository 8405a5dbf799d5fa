// The settings store on real INI files: where they lie, what reads back, and
// what removing a section or an application key takes away.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

#include "archivers/common/LeftoverMark.h"
#include "platform/FileName.h"
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

// Written by this store and read by QSettings, and the other way round, as
// files of earlier builds were written.
TEST(SettingsStore, TextsReadBackExactlyInAnotherStoreAndInQSettings) {
  FreshConfig config;
  const QStringList texts = {
      "",          "ＭＳ 明朝",      "@at sign",        "a, b",           " blanks around ", "C:\\dir\\file",
      "x=y",       "; not a comment", "\"quoted\"",      "#hash",          "[General]",       "1.02",
      "tab\there", "ｷｬﾝｾﾙ",          "\u3000leading", "/tmp/日本語/",    "\x01" "1\r\n",  "😀 \\x41",
  };
  auto key = [](int i) { return QString("Key%1").arg(i); };
  {
    SettingsStore store;
    for (int i = 0; i < texts.size(); ++i) store.write(kApp, kSection, key(i), texts[i]);
    ASSERT_TRUE(store.sync());
  }
  SettingsStore reread;
  QSettings qsettings(config.ini(kApp), QSettings::IniFormat);
  for (int i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(reread.read(kApp, kSection, key(i), "default"), texts[i]) << i;
    EXPECT_EQ(qsettings.value(key(i)).toString(), texts[i]) << i;
  }
  {
    QSettings writer(config.ini("Written by QSettings"), QSettings::IniFormat);
    for (int i = 0; i < texts.size(); ++i) writer.setValue(key(i), texts[i]);
  }
  SettingsStore fromQSettings;
  for (int i = 0; i < texts.size(); ++i)
    EXPECT_EQ(fromQSettings.read("Written by QSettings", kSection, key(i), "default"), texts[i]) << i;
  EXPECT_TRUE(reread.takeFaults().isEmpty());
}

// A stored folder whose name is not UTF-8 comes back as the same bytes, here
// and in QSettings: its bytes are written as escapes both read alike.
TEST(SettingsStore, FolderNamesThatAreNotUtf8ReadBackAsTheirBytes) {
  FreshConfig config;
  const QByteArray folder = "/tmp/\x83\x74\x83\x48/a\xFF" "1";
  ASSERT_TRUE(SettingsStore().write(kApp, kSection, "Dir_In", FileNameFromBytes(folder)));
  EXPECT_TRUE(ReadFile(config.ini(kApp)).contains("Dir_In=/tmp/\\xdc83t\\xdc83H/a\\xdcff\\x31\n"));
  EXPECT_EQ(FileNameBytes(SettingsStore().read(kApp, kSection, "Dir_In", "").value_or("")), folder);
  EXPECT_EQ(FileNameBytes(QSettings(config.ini(kApp), QSettings::IniFormat).value("Dir_In").toString()), folder);
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

TEST(SettingsStore, UnreadableSectionReadsAsEmptyAndIsSaidOnce) {
  FreshConfig config;
  // A folder where the section's file should be: neither readable nor writable.
  QDir().mkpath(config.ini(kApp));
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Lzh", "True"), "True");
  const QList<SettingsFault> faults = store.takeFaults();
  ASSERT_EQ(faults.size(), 1);
  EXPECT_EQ(faults[0].kind, SettingsFault::Kind::Unreadable);
  EXPECT_EQ(faults[0].path, config.ini(kApp));
  EXPECT_EQ(faults[0].error, EISDIR);
  EXPECT_TRUE(faults[0].notWritable);
  store.write(kApp, kSection, "Lzh", "False");
  EXPECT_FALSE(store.sync());
  EXPECT_TRUE(store.takeFaults().isEmpty());  // its notice said already that nothing could be saved
}

// Bytes of another file in the middle, with a line break and a section
// header in them: the keys on either side are read, and the next save keeps
// the file as it was beside the new one, once.
TEST(SettingsStore, DamagedLinesCostOnlyThemselvesAndTheFileIsKeptOnce) {
  FreshConfig config;
  const QByteArray damaged = "[General]\nBefore=1\n\x89PNG\r[\x1a\n\xff\xfe=\x01\nno equals sign\nAfter=2\n";
  const QString ini = config.writeIni(kApp, damaged);
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Before", ""), "1");
  EXPECT_EQ(store.read(kApp, kSection, "After", ""), "2");
  const QList<SettingsFault> faults = store.takeFaults();
  ASSERT_EQ(faults.size(), 1);
  EXPECT_EQ(faults[0].kind, SettingsFault::Kind::Damaged);
  EXPECT_EQ(faults[0].damagedLines, 4);

  store.write(kApp, kSection, "Mine", "3");
  ASSERT_TRUE(store.sync());
  EXPECT_EQ(ReadFile(ini + ".bak"), damaged);
  EXPECT_EQ(ReadFile(ini), "[General]\nBefore=1\nAfter=2\nMine=3\n");
  QFile::remove(ini + ".bak");
  store.write(kApp, kSection, "Mine", "4");
  ASSERT_TRUE(store.sync());
  EXPECT_FALSE(QFileInfo::exists(ini + ".bak"));
}

// Without the owner's write bit the file stays as it is, also for root, whom
// the system would let write it: one notice, which does not promise a .bak.
TEST(SettingsStore, AReadOnlyDamagedFileIsLeftAloneAndSaidOnce) {
  FreshConfig config;
  const QByteArray damaged = "[General]\nBefore=1\nno equals sign\n";
  const QString ini = config.writeIni(kApp, damaged);
  ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  SettingsStore store;
  EXPECT_EQ(store.read(kApp, kSection, "Before", ""), "1");
  const QList<SettingsFault> faults = store.takeFaults();
  ASSERT_EQ(faults.size(), 1);
  EXPECT_EQ(faults[0].kind, SettingsFault::Kind::Damaged);
  EXPECT_TRUE(faults[0].notWritable);
  EXPECT_FALSE(SettingsFaultMessage(faults).contains(".bak"));
  store.write(kApp, kSection, "Mine", "3");
  EXPECT_FALSE(store.sync());
  EXPECT_TRUE(store.takeFaults().isEmpty());
  EXPECT_EQ(ReadFile(ini), damaged);
  EXPECT_FALSE(QFileInfo::exists(ini + ".bak"));
}

// What a save cut off leaves (its new file, marked, and the lock of a copy
// that died) goes at the next save; the user's files named alike stay.
TEST(SettingsStore, AStaleTemporaryAndLockAreRemovedByTheNextSave) {
  FreshConfig config;
  const QString ini = config.writeIni(kApp, "[General]\nKept=1\n");
  for (const char* mine : {".backup", ".before", ".orig01"}) {
    QFile file(ini + mine);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("mine") == 4);
  }
  std::fflush(nullptr);
  const pid_t holder = fork();
  if (holder == 0) {
    QLockFile lock(ini + ".lock");
    const int half = open((ini + ".a1B2c3").toUtf8().constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    rkarc::MarkTemporary(half);  // as a save marks its new file
    _exit(lock.tryLock(0) && write(half, "[General]\nHal", 13) == 13 ? 0 : 1);  // dies holding both
  }
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(QFileInfo::exists(ini + ".lock"));

  SettingsStore store;
  store.write(kApp, kSection, "New", "2");
  ASSERT_TRUE(store.sync());
  EXPECT_EQ(QDir(config.path() + "/Velmont Soft").entryList(QDir::Files),
            QStringList({"Rukasu2.ini", "Rukasu2.ini.backup", "Rukasu2.ini.before", "Rukasu2.ini.orig01"}));
  EXPECT_EQ(ReadFile(ini), "[General]\nKept=1\nNew=2\n");
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
  config.writeIni("Rukasu2", "[General]\nMine=1\n", "notes");  // the user's own file
  SettingsStore store;
  EXPECT_EQ(store.read("Rukasu2", "Rukasu2", "Version", ""), "1.01");
  store.write("Rukasu2", "Second", "Key", "1");
  store.write(kApp, kSection, "Key", "2");
  ASSERT_TRUE(store.sync());
  EXPECT_TRUE(store.removeApplication("Rukasu2"));
  EXPECT_FALSE(QFileInfo::exists(stray));
  EXPECT_EQ(testing_support::Tree(config.path() + "/Rukasu2"), QStringList{"notes.ini"});
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
