// The options dialog on real widgets: kind groups enabled by the libraries
// present, btnOk only after a click, the visibility rule, reset, confirm
// (settings, tool tips of every window, the target list) and cancel.
#include "dialogs/frmOption.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogs/frmPasswords.h"
#include "tests/support/ModalHelper.h"
#include "tests/ui/DialogFixture.h"
#include "tests/support/StandInWindows.h"

namespace {

using testing_support::WhileShown;
using testing_support::WindowContext;
using L = LibraryId;

const std::vector<LibraryId> kAll = {L::Unlha, L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Unrar, L::Bz2, L::SevenZip};

template <class T>
T* Find(QWidget& dialog, const QString& name) {
  auto* widget = dialog.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name.toStdString();
  return widget;
}
QCheckBox* Box(QWidget& dialog, const char* name) { return Find<QCheckBox>(dialog, QString::fromLatin1(name)); }
QPushButton* Button(QWidget& dialog, const char* name) { return Find<QPushButton>(dialog, QString::fromLatin1(name)); }
QRadioButton* Option(QWidget& dialog, const QString& name) { return Find<QRadioButton>(dialog, name); }

// A mouse click on the box's mark, as the user makes it.
void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2)); }

// A loaded options dialog over a fresh context with the given libraries.
struct OptionDialog {
  WindowContext c;
  std::unique_ptr<frmOption> dialog;
  explicit OptionDialog(const std::vector<LibraryId>& present = kAll) {
    testing_support::PresentOnly(c.libraries, present);
  }
  frmOption& load() {
    dialog = std::make_unique<frmOption>(c.context);
    EXPECT_TRUE(dialog->Form_Load());
    return *dialog;
  }
};

struct AbsenceCase {
  const char* name;
  std::vector<LibraryId> present;
  QStringList disabled;  // every other box is enabled
};

void PrintTo(const AbsenceCase& row, std::ostream* out) { *out << row.name; }

class OptionLibraries : public testing::TestWithParam<AbsenceCase> {};

TEST_P(OptionLibraries, DisableExactlyTheBoxesTheirLibraryDecides) {
  OptionDialog o(GetParam().present);
  frmOption& dialog = o.load();
  QStringList disabled;
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
    if (!box->isEnabled()) disabled << box->objectName();
  QStringList expected = GetParam().disabled;
  disabled.sort();
  expected.sort();
  EXPECT_EQ(disabled, expected);

  // Opening applies the visibility rule; the BZIP2 boxes stay as their library decides.
  WhileShown(dialog, [&] {
    const bool bz2 =
        std::find(GetParam().present.begin(), GetParam().present.end(), L::Bz2) != GetParam().present.end();
    EXPECT_EQ(Box(dialog, "ckbTAR_BZ2")->isEnabled(), bz2);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OptionLibraries,
    testing::Values(
        AbsenceCase{"All", kAll, {}},
        AbsenceCase{"NoUnlha",
                    {L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Unrar, L::Bz2, L::SevenZip},
                    {"ckbLZH", "ckbLZH_EXE", "ckbLZH_X", "ckbLZH_LHA"}},
        // The self-extracting CAB and RAR boxes stay usable.
        AbsenceCase{"NoCabNoUnrar",
                    {L::Unlha, L::UnZip, L::Unarj, L::Ish, L::Tar, L::Bz2, L::SevenZip},
                    {"ckbCAB", "ckbRAR"}},
        // Unlike them, the self-extracting 7z box goes with its module.
        AbsenceCase{"NoSevenZip",
                    {L::Unlha, L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Unrar, L::Bz2},
                    {"ckb7Z", "ckb7Z_EXE"}},
        AbsenceCase{"TarWithoutBz2",
                    {L::Unlha, L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Unrar, L::SevenZip},
                    {"ckbTAR_TARBZ2", "ckbTAR_BZIP2", "ckbTAR_BZ2"}},
        AbsenceCase{
            "None", {}, {"ckbLZH",    "ckbLZH_EXE", "ckbLZH_X",      "ckbLZH_LHA",   "ckbZIP",      "ckbZIP_EXE",
                         "ckbARJ",    "ckbARJ_EXE", "ckbISH",        "ckbISH_LOG",   "ckbCAB",      "ckbRAR",
                         "ckbTAR",    "ckbTAR_TAR", "ckbTAR_TARGZ",  "ckbTAR_TGZ",   "ckbTAR_TARZ", "ckbTAR_TAZ",
                         "ckbTAR_GZ", "ckbTAR_Z",   "ckbTAR_TARBZ2", "ckbTAR_BZIP2", "ckbTAR_BZ2",  "ckb7Z",
                         "ckb7Z_EXE", "ckbTAR_TARXZ", "ckbTAR_TXZ",  "ckbTAR_XZ",    "ckbTAR_TARZST", "ckbTAR_TZST",
                         "ckbTAR_ZST", "ckbTAR_TARLZ", "ckbTAR_LZ",  "ckbTAR_TARLZMA", "ckbTAR_TLZ", "ckbTAR_LZMA"}}),
    [](const testing::TestParamInfo<AbsenceCase>& info) { return std::string(info.param.name); });

TEST(Options, DisabledGroupShowsAndKeepsItsStoredValues) {
  OptionDialog o({L::UnZip, L::Unarj, L::Ish, L::Cab, L::Tar, L::Unrar, L::Bz2, L::SevenZip});
  o.c.context.settings.Lzh = true;
  o.c.context.settings.Lzh_Exe = true;
  o.c.context.settings.Lzh_X = false;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    EXPECT_TRUE(Box(dialog, "ckbLZH")->isChecked());
    EXPECT_TRUE(Box(dialog, "ckbLZH_EXE")->isChecked());
    EXPECT_TRUE(Box(dialog, "ckbLZH_EXE")->isVisibleTo(&dialog));
    Box(dialog, "ckbDouble")->click();
    Button(dialog, "btnOk")->click();
  });
  EXPECT_TRUE(o.c.context.settings.Lzh);
  EXPECT_TRUE(o.c.context.settings.Lzh_Exe);
  EXPECT_FALSE(o.c.context.settings.Lzh_X);
  EXPECT_TRUE(o.c.context.settings.Double);
}

TEST(Options, OkIsDisabledOnEveryOpeningUntilAClick) {
  OptionDialog o;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    EXPECT_FALSE(Button(dialog, "btnOk")->isEnabled());
    Click(Option(dialog, "obtCopy(2)"));
    EXPECT_TRUE(Button(dialog, "btnOk")->isEnabled());
    Button(dialog, "btnCancel")->click();
  });
  EXPECT_EQ(o.c.context.settings.File, 0);  // cancelled
  WhileShown(dialog, [&] {
    EXPECT_FALSE(Button(dialog, "btnOk")->isEnabled());
    EXPECT_TRUE(Option(dialog, "obtCopy(0)")->isChecked());  // refilled from the settings
    QTest::keyClick(&dialog, Qt::Key_Return);                // Enter neither confirms nor resets
    EXPECT_TRUE(dialog.isVisible());
  });
}

// The remembered-passwords button opens its dialog; without a keyring it
// says so and offers nothing to remove. The list shows passwords masked.
TEST(Options, PasswordsButtonOpensTheRememberedPasswordsWithoutAKeyring) {
  qunsetenv("DBUS_SESSION_BUS_ADDRESS");
  OptionDialog o;
  frmOption& dialog = o.load();
  bool seen = false;
  testing_support::WhenModal<frmPasswords>([&](frmPasswords* passwords) {
    seen = true;
    EXPECT_FALSE(passwords->lblNoKeyring->isHidden());
    EXPECT_EQ(passwords->lstPasswords->count(), 0);
    EXPECT_FALSE(passwords->btnRemove->isEnabled() || passwords->btnRemoveAll->isEnabled());
    passwords->btnClose->click();
  });
  Button(dialog, "btnPasswords")->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(frmPasswords::Masked("パスword"), QString::fromUtf8("パ●●●●●"));
}

TEST(Options, StoredIndexesOutsideTheRangeSelectTheFirstButton) {
  OptionDialog o;
  o.c.context.settings.File = 7;
  o.c.context.settings.AutoExe = -1;
  o.c.context.settings.Auto = true;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    EXPECT_TRUE(Option(dialog, "obtCopy(0)")->isChecked());
    EXPECT_TRUE(Option(dialog, "obtExe(0)")->isChecked());
    Click(Option(dialog, "obtExe(3)"));
    Button(dialog, "btnOk")->click();
  });
  EXPECT_EQ(o.c.context.settings.File, 0);
  EXPECT_EQ(o.c.context.settings.AutoExe, 3);
}

TEST(Options, SubBoxesFollowTheirKindBoxAndKeepTheirMarks) {
  OptionDialog o;
  o.c.context.settings.Zip = true;
  o.c.context.settings.Zip_Exe = true;
  o.c.context.settings.Auto = true;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    QCheckBox* zipExe = Box(dialog, "ckbZIP_EXE");
    EXPECT_TRUE(zipExe->isVisibleTo(&dialog));
    Click(Box(dialog, "ckbZIP"));
    EXPECT_FALSE(zipExe->isVisibleTo(&dialog));
    EXPECT_TRUE(zipExe->isChecked());

    QWidget* pnlAuto = Find<QWidget>(dialog, "pnlAuto");
    EXPECT_TRUE(pnlAuto->isVisibleTo(&dialog));
    Click(Box(dialog, "ckbAuto"));
    EXPECT_FALSE(pnlAuto->isVisibleTo(&dialog));
    EXPECT_FALSE(Box(dialog, "ckbLog")->isVisibleTo(&dialog));

    // Every TAR box hides with its kind box.
    Click(Box(dialog, "ckbTAR"));
    for (const char* name : {"ckbTAR_TAR", "ckbTAR_GZ", "ckbTAR_BZ2"})
      EXPECT_FALSE(Box(dialog, name)->isVisibleTo(&dialog));
    Button(dialog, "btnOk")->click();
  });
  EXPECT_FALSE(o.c.context.settings.Zip);
  EXPECT_TRUE(o.c.context.settings.Zip_Exe);
  EXPECT_FALSE(o.c.context.settings.Auto);
  EXPECT_FALSE(o.c.context.settings.Tar);
}

TEST(Options, InitResetsTheControlsButOnlyOkStoresThem) {
  OptionDialog o;
  Settings& s = o.c.context.settings;
  s.Lzh = s.Zip = s.Tar_Gz = s.UCase = s.AutoLog = s.Resize = s.Tip = false;
  s.Lzh_Exe = s.Cab_Exe = s.Double = s.Auto = true;
  s.File = 3;
  s.AutoExe = 2;
  const Settings before = s;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    Button(dialog, "btnInit")->click();
    EXPECT_TRUE(Button(dialog, "btnOk")->isEnabled());
    Button(dialog, "btnCancel")->click();
  });
  EXPECT_EQ(s, before);

  WhileShown(dialog, [&] {
    Button(dialog, "btnInit")->click();
    EXPECT_FALSE(Find<QWidget>(dialog, "pnlAuto")->isVisibleTo(&dialog));
    Button(dialog, "btnOk")->click();
  });
  for (bool Settings::*on : {&Settings::Lzh, &Settings::Zip, &Settings::Arj, &Settings::Ish, &Settings::Cab,
                             &Settings::Rar, &Settings::Tar, &Settings::Tar_Tar, &Settings::Tar_Gz, &Settings::Tar_Bz2,
                             &Settings::UCase, &Settings::AutoLog, &Settings::Resize, &Settings::Tip})
    EXPECT_TRUE(s.*on);
  for (bool Settings::*off :
       {&Settings::Lzh_Exe, &Settings::Lzh_X, &Settings::Lzh_Lha, &Settings::Zip_Exe, &Settings::Arj_Exe,
        &Settings::Ish_Log, &Settings::Cab_Exe, &Settings::Rar_Exe, &Settings::Double, &Settings::Auto})
    EXPECT_FALSE(s.*off);
  EXPECT_EQ(s.File, 0);
  EXPECT_EQ(s.AutoExe, 0);
}

// Every window the dialog reaches, as stand-ins that log their calls.
struct Windows {
  QStringList log;
  testing_support::StandIn<CommonWindowOps> defaults{"frmDefault", log};
  testing_support::MenuMenteStandIn menuMente{"frmMenuMente", log};
  testing_support::MainWindowStandIn main{"frmRukasu", log};
  testing_support::FolderPaneStandIn inDir{"mdiInDir", log};
  testing_support::SourceFileStandIn inFile{"mdiInFile", log};
  testing_support::TargetListStandIn file{"mdiFile", log};
  testing_support::FolderPaneStandIn outDir{"mdiOutDir", log};
  testing_support::ResultLogStandIn status{"mdiStatus", log};
  testing_support::ExtractedFoldersStandIn outFile{"mdiOutFile", log};

  void attach(AppContext& context) {
    context.windows = {&main,    &inDir,  &inFile,   &file,   &outDir,   &status,
                       &outFile, nullptr, &defaults, nullptr, &menuMente};
  }
};

TEST(Options, OkWithAChangedTipRefreshesEveryWindowThenThePanes) {
  OptionDialog o;
  Windows w;
  w.attach(o.c.context);
  w.file.entries = {"/a/x.lzh", "/a/y.zip"};
  frmOption& dialog = o.load();
  o.c.context.windows.option = &dialog;
  ASSERT_TRUE(o.c.context.settings.Tip);
  EXPECT_FALSE(Box(dialog, "ckbTip")->toolTip().isEmpty());
  WhileShown(dialog, [&] {
    Click(Box(dialog, "ckbTip"));
    Button(dialog, "btnOk")->click();
  });
  EXPECT_FALSE(o.c.context.settings.Tip);
  EXPECT_TRUE(Box(dialog, "ckbTip")->toolTip().isEmpty());
  EXPECT_TRUE(Button(dialog, "btnOk")->toolTip().isEmpty());
  EXPECT_EQ(w.log, QStringList(
                       {"frmDefault.SetToolTip(False)", "frmMenuMente.SetToolTip(False)", "frmRukasu.SetToolTip(False)",
                        "mdiInDir.SetToolTip(False)", "mdiInFile.SetToolTip(False)", "mdiFile.SetToolTip(False)",
                        "mdiOutDir.SetToolTip(False)", "mdiStatus.SetToolTip(False)", "mdiOutFile.SetToolTip(False)",
                        "mdiInFile.Pattern_Make", "mdiInFile.RefreshForm", "mdiFile.RefreshForm"}));
  EXPECT_TRUE(w.file.entries.isEmpty());
}

TEST(Options, OkWithoutATipChangeStillEmptiesTheTargetList) {
  OptionDialog o;
  Windows w;
  w.attach(o.c.context);
  w.file.entries = {"/a/x.lzh"};
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    Click(Box(dialog, "ckbResize"));
    Button(dialog, "btnOk")->click();
  });
  EXPECT_FALSE(o.c.context.settings.Resize);
  EXPECT_EQ(w.log, QStringList({"mdiInFile.Pattern_Make", "mdiInFile.RefreshForm", "mdiFile.RefreshForm"}));
  EXPECT_TRUE(w.file.entries.isEmpty());
}

TEST(Options, CancelAndTheCloseBoxChangeNothing) {
  OptionDialog o;
  Windows w;
  w.attach(o.c.context);
  w.file.entries = {"/a/x.lzh"};
  const Settings before = o.c.context.settings;
  frmOption& dialog = o.load();
  WhileShown(dialog, [&] {
    Click(Box(dialog, "ckbLZH"));
    Button(dialog, "btnCancel")->click();
  });
  EXPECT_TRUE(dialog.isLoaded());
  WhileShown(dialog, [&] {
    Click(Box(dialog, "ckbZIP"));
    dialog.close();
  });
  EXPECT_FALSE(dialog.isLoaded());  // the close box unloads it; the next showing loads it again
  EXPECT_EQ(o.c.context.settings, before);
  EXPECT_TRUE(w.log.isEmpty());
  EXPECT_EQ(w.file.entries.size(), 1);
}

TEST(Options, LoadSetsCaptionsAndToolTipsFromTheTables) {
  OptionDialog o;
  o.c.context.settings.Tip = false;
  frmOption& dialog = o.load();
  EXPECT_EQ(dialog.windowTitle(), "Option");
  EXPECT_EQ(Box(dialog, "ckbRAR")->text(), "RAR圧縮ファイル解凍対象(.RAR)");
  EXPECT_EQ(Box(dialog, "ckbTAR_TARBZ2")->text(), ".TAR.BZ2");
  EXPECT_EQ(Box(dialog, "ckbLog")->text(), "結果をクリップボートにコピー");
  EXPECT_EQ(Option(dialog, "obtExe(2)")->text(), "数除");
  EXPECT_EQ(Button(dialog, "btnCancel")->text(), "ｷｬﾝｾﾙ");
  for (QWidget* control : dialog.findChildren<QWidget*>()) EXPECT_TRUE(control->toolTip().isEmpty());
  dialog.SetToolTip(true);
  EXPECT_EQ(Box(dialog, "ckbTAR_BZ2")->toolTip(), "BZIP2形式で圧縮されたファイル（拡張子.BZ2）を解凍の対象とします。");
  EXPECT_EQ(Option(dialog, "obtCopy(3)")->toolTip(), "解凍正常終了後、圧縮ファイルは削除します。");
  EXPECT_EQ(Button(dialog, "btnInit")->toolTip(), "設定を初期設定に戻します");
}

}  // namespace
