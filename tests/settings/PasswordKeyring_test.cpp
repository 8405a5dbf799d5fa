// Remembered passwords in a real Secret Service: gnome-keyring-daemon on a
// private session bus (dbus-run-session) stores, finds and removes them; with
// no bus at all the run's book keeps them for the run and says so once.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <algorithm>

#include "engine/Passwords.h"
#include "settings/PasswordKeyring.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Passwords(PasswordKeyring& keyring) {
  std::vector<std::string> out;
  for (const RememberedPassword& item : keyring.load()) out.push_back(item.password);
  std::sort(out.begin(), out.end());
  return out;
}

// Runs this test again inside a private bus with an unlocked keyring.
void RunInsidePrivateKeyring() {
  const testing_support::TempFolder home;
  const QString runtime = home.mkdir("run"), self = QFileInfo("/proc/self/exe").symLinkTarget();
  home.mkdir(".cache");
  QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home.path());
  env.insert("XDG_RUNTIME_DIR", runtime);
  env.insert("RUKASU2_IN_KEYRING", "1");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("dbus-run-session",
              {"--", "sh", "-c", "printf unlock | gnome-keyring-daemon --unlock --components=secrets >/dev/null && exec \"$0\" \"$1\"",
               self, QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
  ASSERT_TRUE(child.waitForFinished(120000));
  const QByteArray output = child.readAll();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(PasswordKeyring, StoresFindsAndRemovesInARealSecretService) {
  if (!qEnvironmentVariableIsSet("RUKASU2_IN_KEYRING")) {
    RK_REQUIRE_PROGRAM("dbus-run-session");
    RK_REQUIRE_PROGRAM("gnome-keyring-daemon");
    RunInsidePrivateKeyring();
    return;
  }
  PasswordKeyring keyring;
  ASSERT_TRUE(keyring.available());
  EXPECT_TRUE(keyring.store("Kagi-1") && keyring.store("パス-2") && keyring.store("Kagi-1"));
  EXPECT_EQ(Passwords(keyring), (std::vector<std::string>{"Kagi-1", "パス-2"}));  // stored once each
  for (const RememberedPassword& item : keyring.load()) {
    if (item.password == "Kagi-1") {
      EXPECT_TRUE(keyring.remove(item.id));
    }
  }
  EXPECT_EQ(Passwords(keyring), std::vector<std::string>{"パス-2"});

  // The run's book reads them when an archive first needs them, and keeps
  // one it is told to remember.
  PasswordBook book(&keyring);
  EXPECT_FALSE(book.addGiven("Typed-3", true));  // kept: nothing to tell
  EXPECT_TRUE(book.loadRemembered());
  EXPECT_FALSE(book.loadRemembered());  // once
  const std::vector<const char*> list = book.list();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0], "Typed-3");
  EXPECT_STREQ(list[1], "パス-2");
  EXPECT_EQ(Passwords(keyring), (std::vector<std::string>{"Typed-3", "パス-2"}));
  EXPECT_TRUE(keyring.removeAll());
  EXPECT_TRUE(Passwords(keyring).empty());
}

TEST(PasswordKeyring, WithoutABusPasswordsLiveForTheRunAndTheUserIsToldOnce) {
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  PasswordKeyring keyring;
  EXPECT_FALSE(keyring.available());
  PasswordBook book(&keyring);
  EXPECT_TRUE(book.addGiven("one", true));
  EXPECT_FALSE(book.addGiven("two", true));
  book.add("three");
  book.add("one");  // known: stays where it is
  book.opened(2);  // "three" opened an archive: tried first from now on
  const std::vector<const char*> list = book.list();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_STREQ(list[0], "three");
  EXPECT_STREQ(list[1], "two");
  EXPECT_STREQ(list[2], "one");
}

}  // namespace
