// The store under faults: a save that runs out of space or meets a read-only
// folder (each made in a private mount namespace) leaves the earlier file
// whole and succeeds when retried, and two processes saving at once leave a
// valid file.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "settings/SettingsStore.h"
#include "tests/settings/FreshConfig.h"
#include "tests/support/MountNamespace.h"

namespace {

using testing_support::ReadFile;

const QString kApp = QStringLiteral("Velmont Soft");
const QString kSection = QStringLiteral("Rukasu2");

// The folder the mount namespace child works in, handed over by the parent.
QString FaultFolder() { return qEnvironmentVariable("RUKASU2_SETTINGS_FAULT_DIR"); }

// Runs the calling test again in a mount namespace prepared by setup, with
// FaultFolder() naming folder; true in that child.
bool InNamespaceWith(const testing_support::TempFolder& folder, const QString& setup) {
  if (testing_support::InMountNamespace()) return true;
  testing_support::RunTestInMountNamespace(setup.arg(folder.path()),
                                           {"RUKASU2_SETTINGS_FAULT_DIR=" + folder.path()});
  return false;
}

void FillDisk(const QString& path) {
  QFile filler(path);
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  const QByteArray block(4096, 'x');
  while (filler.write(block) == block.size() && filler.flush()) {
  }
}

// A store in the fault folder that saved the first values; the second ones
// are written, and saved by trySecond().
struct SavedStore {
  QString folder = FaultFolder();
  SettingsStore store{folder + "/config"};
  QString ini = store.filePath(kApp, kSection);
  QByteArray before;  // the file after the first save

  SavedStore() {
    store.write(kApp, kSection, "Lzh_Opt", "first");
    store.write(kApp, kSection, "Font_Name", QString(2000, 'a'));
    EXPECT_TRUE(store.sync());
    before = ReadFile(ini);
  }
  bool trySecond() {
    store.write(kApp, kSection, "Lzh_Opt", "second");
    store.write(kApp, kSection, "Font_Name", QString(6000, 'b'));
    return store.sync();
  }
};

// After the retry the file holds the second values only.
void ExpectSecondValues(const QString& ini) {
  const QByteArray bytes = ReadFile(ini);
  EXPECT_TRUE(bytes.contains("Lzh_Opt=second"));
  EXPECT_TRUE(bytes.contains(QByteArray(6000, 'b')));
  EXPECT_FALSE(bytes.contains("first"));
}

TEST(SettingsStoreFaults, SaveOnAFullDiskKeepsTheEarlierFileAndIsRetried) {
  testing_support::TempFolder outside;
  if (!InNamespaceWith(outside, "mount -t tmpfs -o size=64k tmpfs '%1'")) return;
  SavedStore s;
  FillDisk(s.folder + "/filler");
  EXPECT_FALSE(s.trySecond());
  EXPECT_EQ(ReadFile(s.ini), s.before);
  EXPECT_EQ(QDir(s.folder + "/config/Velmont Soft").entryList(QDir::Files), QStringList{"Rukasu2.ini"});
  const QList<SettingsFault> faults = s.store.takeFaults();
  ASSERT_EQ(faults.size(), 1);
  EXPECT_EQ(faults[0].kind, SettingsFault::Kind::NotSaved);
  EXPECT_EQ(faults[0].error, ENOSPC);

  QFile::remove(s.folder + "/filler");
  EXPECT_TRUE(s.store.sync());
  ExpectSecondValues(s.ini);
}

TEST(SettingsStoreFaults, SaveIntoAReadOnlyFolderKeepsTheEarlierFileAndIsRetried) {
  testing_support::TempFolder outside;
  if (!InNamespaceWith(outside, "mount --bind '%1' '%1'")) return;
  SavedStore s;
  ASSERT_EQ(testing_support::Run("mount", {"-o", "remount,bind,ro", s.folder}), 0);
  EXPECT_FALSE(s.trySecond());
  EXPECT_EQ(ReadFile(s.ini), s.before);

  ASSERT_EQ(testing_support::Run("mount", {"-o", "remount,bind,rw", s.folder}), 0);
  EXPECT_TRUE(s.store.sync());
  ExpectSecondValues(s.ini);
}

constexpr int kRounds = 40;
constexpr int kKeysPerWriter = 8;

// Values grow round by round: QSettings notices the other copy's save by the
// file's size and time, and a save of equal size within the same millisecond
// would go unnoticed (its keys then lag a round behind, but stay whole).
QString WriterValue(char writer, int round, int key) {
  return QString("%1-%2-%3-").arg(writer).arg(round).arg(key) + QString(100 + round, QChar(writer));
}

// Each writer saves its own keys and one key both share, round after round.
int SaveRepeatedly(char writer) {
  SettingsStore store;
  for (int round = 0; round < kRounds; ++round) {
    for (int key = 0; key < kKeysPerWriter; ++key)
      store.write(kApp, kSection, QString("%1_%2").arg(writer).arg(key), WriterValue(writer, round, key));
    store.write(kApp, kSection, "Shared", WriterValue(writer, round, 0));
    if (!store.sync()) return 20;
  }
  return 0;
}

bool IsWriterValue(const QString& value, int key) {
  for (char writer : {'A', 'B'})
    for (int round = 0; round < kRounds; ++round)
      if (value == WriterValue(writer, round, key)) return true;
  return false;
}

TEST(SettingsStoreFaults, TwoProcessesSavingAtOnceLeaveAValidFile) {
  FreshConfig config;
  std::fflush(nullptr);
  const pid_t first = fork();
  if (first == 0) _exit(SaveRepeatedly('A'));
  const pid_t second = fork();
  if (second == 0) _exit(SaveRepeatedly('B'));
  for (pid_t child : {first, second}) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer's save failed";
  }

  // Read with a QSettings of its own, as a third copy of the program would.
  QSettings file(config.ini(kApp), QSettings::IniFormat);
  ASSERT_EQ(file.status(), QSettings::NoError);
  EXPECT_EQ(file.allKeys().size(), 2 * kKeysPerWriter + 1);
  for (char writer : {'A', 'B'}) {
    for (int key = 0; key < kKeysPerWriter; ++key) {
      const QString value = file.value(QString("%1_%2").arg(writer).arg(key)).toString();
      // Each writer's own last save comes last for its own keys.
      EXPECT_EQ(value, WriterValue(writer, kRounds - 1, key)) << writer << key;
    }
  }
  EXPECT_TRUE(IsWriterValue(file.value("Shared").toString(), 0));
  // Neither a temporary file nor a lock file is left behind.
  EXPECT_EQ(QDir(config.path() + "/Velmont Soft").entryList(QDir::Files), QStringList{"Rukasu2.ini"});
}

}  // namespace
