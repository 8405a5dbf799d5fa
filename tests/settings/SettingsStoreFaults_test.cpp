// The store under faults, in real child processes: a save that runs out of
// space or meets a read-only folder leaves the earlier file whole and is
// retried later, and two processes saving at once leave a valid file.
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "settings/SettingsStore.h"
#include "tests/settings/FreshConfig.h"

namespace {

using testing_support::ReadFile;

const QString kApp = QStringLiteral("Velmont Soft");
const QString kSection = QStringLiteral("Rukasu2");

// Exit codes of a child: 0 passed, kRefused when the fault cannot be made
// here, any other value names the step that went wrong.
constexpr int kRefused = 77;

int RunInChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A private mount namespace, so that mounts made in the child vanish with it.
bool PrivateMounts() {
  return unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool FillDisk(const QString& path) {
  QFile filler(path);
  if (!filler.open(QIODevice::WriteOnly)) return false;
  const QByteArray block(4096, 'x');
  while (filler.write(block) == block.size() && filler.flush()) {
  }
  return true;
}

bool BothCopiesOnDisk(const QString& ini) {
  // The file after the retry holds the second values; a new process reads it.
  const QByteArray bytes = ReadFile(ini);
  return bytes.contains("Lzh_Opt=second") && bytes.contains(QByteArray(6000, 'b')) && !bytes.contains("first");
}

int SaveOnFullDisk(const QString& folder) {
  if (!PrivateMounts() || mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
    return kRefused;
  SettingsStore store(folder + "/config");
  const QString ini = store.filePath(kApp, kSection);
  store.write(kApp, kSection, "Lzh_Opt", "first");
  store.write(kApp, kSection, "Font_Name", QString(2000, 'a'));
  if (!store.sync()) return 10;
  const QByteArray before = ReadFile(ini);
  if (!FillDisk(folder + "/filler")) return 11;
  store.write(kApp, kSection, "Lzh_Opt", "second");
  store.write(kApp, kSection, "Font_Name", QString(6000, 'b'));
  if (store.sync()) return 12;
  if (ReadFile(ini) != before) return 13;
  if (QDir(folder + "/config/Velmont Soft").entryList(QDir::Files).size() != 1) return 14;
  QFile::remove(folder + "/filler");
  if (!store.sync()) return 15;
  return BothCopiesOnDisk(ini) ? 0 : 16;
}

int SaveIntoReadOnlyFolder(const QString& folder) {
  const QByteArray path = folder.toLocal8Bit();
  if (!PrivateMounts() || mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) return kRefused;
  SettingsStore store(folder + "/config");
  const QString ini = store.filePath(kApp, kSection);
  store.write(kApp, kSection, "Lzh_Opt", "first");
  if (!store.sync()) return 10;
  const QByteArray before = ReadFile(ini);
  if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) return kRefused;
  store.write(kApp, kSection, "Lzh_Opt", "second");
  store.write(kApp, kSection, "Font_Name", QString(6000, 'b'));
  if (store.sync()) return 12;
  if (ReadFile(ini) != before) return 13;
  if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND, nullptr) != 0) return 14;
  if (!store.sync()) return 15;
  return BothCopiesOnDisk(ini) ? 0 : 16;
}

TEST(SettingsStoreFaults, SaveOnAFullDiskKeepsTheEarlierFileAndIsRetried) {
  testing_support::TempFolder folder;
  const int result = RunInChild([&] { return SaveOnFullDisk(folder.path()); });
  if (result == kRefused) GTEST_SKIP() << "cannot mount a tmpfs in a private mount namespace here";
  EXPECT_EQ(result, 0) << "failed at step " << result;
}

TEST(SettingsStoreFaults, SaveIntoAReadOnlyFolderKeepsTheEarlierFileAndIsRetried) {
  testing_support::TempFolder folder;
  const int result = RunInChild([&] { return SaveIntoReadOnlyFolder(folder.path()); });
  if (result == kRefused) GTEST_SKIP() << "cannot make a read-only bind mount in a private mount namespace here";
  EXPECT_EQ(result, 0) << "failed at step " << result;
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
