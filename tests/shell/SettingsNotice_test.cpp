// What the user is told about the settings file, with the program on a real
// store: an unreadable file at start-up, a save that fails at close, a removal
// that fails; each once, naming the file, and the program starts and ends all
// the same.
#include <gtest/gtest.h>

#include <QMessageBox>

#include "tests/shell/MainWindowWorld.h"
#include "tests/support/ModalHelper.h"
#include "tests/support/MountNamespace.h"

namespace {

using testing_support::ModalWatch;
using testing_support::ReadFile;

struct Boxes {
  QStringList atStart, atClose;
};

// Starts the program, shows it and closes it, pressing OK on every box.
Boxes StartAndClose(MainWindowWorld& w) {
  Boxes boxes;
  {
    ModalWatch watch({}, QMessageBox::Ok);
    EXPECT_EQ(w.load(), frmRukasu::Start::ShowWindow);
    boxes.atStart = watch.texts();
  }
  w.show();
  ModalWatch watch({}, QMessageBox::Ok);
  w.close();
  boxes.atClose = watch.texts();
  return boxes;
}

struct PermissionRow {
  const char* name;
  const char* fileMode;
  const char* folderMode;
  const char* atStart;  // what the one box at start-up says, or nullptr for none
  const char* atClose;  // likewise at close
};

class NoticePermissions : public testing::TestWithParam<PermissionRow> {};

TEST_P(NoticePermissions, AreSaidOnceAndLeaveTheFileAsItWas) {
  RK_REQUIRE_PERMISSION_BITS();
  const PermissionRow& row = GetParam();
  MainWindowWorld w;
  w.storeKeys({"Lzh_X=True", "Main_Left=1500"});
  const QByteArray before = ReadFile(w.storeFile());
  const QString folder = w.config.path() + "/Velmont Soft";
  ASSERT_EQ(testing_support::Run("chmod", {row.fileMode, w.storeFile()}), 0);
  ASSERT_EQ(testing_support::Run("chmod", {row.folderMode, folder}), 0);
  w.store = std::make_unique<SettingsStore>();
  const Boxes boxes = StartAndClose(w);
  for (const auto& [said, expected] : {std::pair{boxes.atStart, row.atStart}, std::pair{boxes.atClose, row.atClose}}) {
    ASSERT_EQ(said.size(), expected ? 1 : 0);
    if (!expected) continue;
    EXPECT_TRUE(said[0].contains(w.storeFile()));
    EXPECT_TRUE(said[0].contains(QString::fromUtf8(expected))) << said[0].toStdString();
  }
  EXPECT_EQ(testing_support::Run("chmod", {"755", folder}), 0);
  EXPECT_EQ(testing_support::Run("chmod", {"644", w.storeFile()}), 0);
  EXPECT_EQ(ReadFile(w.storeFile()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, NoticePermissions,
    testing::Values(PermissionRow{"UnreadableFile", "000", "755", "終了時に設定を保存できません", nullptr},
                    PermissionRow{"ReadOnlyFile", "444", "755", nullptr, "理由: アクセスが拒否されました"},
                    PermissionRow{"UnwritableFolder", "644", "555", nullptr, "に書き込めません"}),
    [](const testing::TestParamInfo<PermissionRow>& info) { return std::string(info.param.name); });

TEST(SettingsNotice, ARemovalThatFailsIsSaidWithACommandThatDoesIt) {
  RK_REQUIRE_PERMISSION_BITS();
  MainWindowWorld w;
  w.storeKeys({"Lzh=False"});
  const QString folder = w.config.path() + "/Velmont Soft";
  ASSERT_EQ(testing_support::Run("chmod", {"555", folder}), 0);
  ModalWatch boxes({QMessageBox::Yes, QMessageBox::Ok});
  EXPECT_EQ(w.load("/U"), frmRukasu::Start::EndProgram);
  EXPECT_EQ(w.exitCode, 1);
  ASSERT_EQ(boxes.texts().size(), 2);
  EXPECT_TRUE(boxes.texts()[1].contains("chmod u+w '" + folder + "' && rm -f '" + w.storeFile() + "'"))
      << boxes.texts()[1].toStdString();
  EXPECT_EQ(testing_support::Run("chmod", {"755", folder}), 0);
}

}  // namespace
