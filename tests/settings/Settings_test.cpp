// Loading and saving the central settings record on real INI files: defaults,
// the move from the earlier location, damaged values, and a save that fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "tests/settings/FreshConfig.h"

namespace {

using testing_support::ReadFile;

// Sets TMPDIR for one test.
class TemporaryFolderVariable {
 public:
  explicit TemporaryFolderVariable(const QByteArray& value)
      : m_saved(qgetenv("TMPDIR")), m_had(qEnvironmentVariableIsSet("TMPDIR")) {
    if (value.isNull()) {
      qunsetenv("TMPDIR");
    } else {
      qputenv("TMPDIR", value);
    }
  }
  ~TemporaryFolderVariable() {
    if (m_had) {
      qputenv("TMPDIR", m_saved);
    } else {
      qunsetenv("TMPDIR");
    }
  }

 private:
  QByteArray m_saved;
  bool m_had;
};

Settings TableDefaults(const QString& temporaryFolder) {
  Settings s;
  s.Lzh = s.Zip = s.Ish = s.Arj = s.Tar = s.Cab = s.Rar = true;
  s.Tar_Tar = s.Tar_Targz = s.Tar_Tgz = s.Tar_Tarz = s.Tar_Taz = s.Tar_Gz = s.Tar_Z = true;
  s.Tar_TarBz2 = s.Tar_Bzip2 = s.Tar_Bz2 = true;
  s.Lzh_Opt = s.Arj_Opt = "x -+";
  s.Zip_Opt = "-x";
  s.Ish_Opt = "/m";
  s.Cab_Opt = "-x -n";
  s.TarTar_Opt = s.TarTargz_Opt = s.TarTgz_Opt = s.TarTarz_Opt = s.TarTaz_Opt = s.TarTarBz2_Opt = "-xfo";
  s.TarGz_Opt = s.TarZ_Opt = s.TarBzip2_Opt = s.TarBz2_Opt = "-Gxf";
  s.Rar_Opt = "-x -u";
  s.TmpDir = temporaryFolder;
  s.UCase = s.AutoLog = s.Resize = s.Tip = true;
  s.Font_Name = "ＭＳ 明朝";
  s.Font_Size = 10;
  return s;
}

// Every key with a value other than its default, as the earlier program left them.
const char kEveryKeyChanged[] =
    "[General]\nVersion=1.01\n"
    "Lzh=False\nZip=False\nIsh=False\nArj=False\nTar=False\nCab=False\nRar=False\n"
    "Lzh_X=True\nLzh_Lha=True\nLzh_Exe=True\nZip_Exe=True\nArj_Exe=True\nIsh_Log=True\nCab_Exe=True\nRar_Exe=True\n"
    "Tar_Tar=False\nTar_Targz=False\nTar_Tgz=False\nTar_Tarz=False\nTar_Taz=False\nTar_Gz=False\nTar_Z=False\n"
    "Tar_TarBz2=False\nTar_Bzip2=False\nTar_Bz2=False\n"
    "Lzh_Opt=o1\nZip_Opt=o2\nIsh_Opt=o3\nArj_Opt=o4\nCab_Opt=o5\nTarTar_Opt=o6\nTarTargz_Opt=o7\nTarTgz_Opt=o8\n"
    "TarTarz_Opt=o9\nTarTaz_Opt=o10\nTarGz_Opt=o11\nTarZ_Opt=o12\nTarTarBz2_Opt=o13\nTarBzip2_Opt=o14\n"
    "TarBz2_Opt=o15\nRar_Opt=o16\n"
    "File=2\nTmpDir=/var/tmp/\nUCase=False\nDouble=True\nAuto=True\nAutoExe=3\nAutoLog=False\nResize=False\n"
    "Tip=False\nFont_Name=IPAGothic\nFont_Size=12\nFont_Bold=True\nFont_Italic=True\n";

Settings EveryKeyChanged() {
  Settings s;
  s.Lzh_X = s.Lzh_Lha = s.Lzh_Exe = s.Zip_Exe = s.Arj_Exe = s.Ish_Log = s.Cab_Exe = s.Rar_Exe = true;
  QString* options[] = {&s.Lzh_Opt, &s.Zip_Opt, &s.Ish_Opt, &s.Arj_Opt, &s.Cab_Opt, &s.TarTar_Opt,
                              &s.TarTargz_Opt, &s.TarTgz_Opt, &s.TarTarz_Opt, &s.TarTaz_Opt, &s.TarGz_Opt,
                              &s.TarZ_Opt, &s.TarTarBz2_Opt, &s.TarBzip2_Opt, &s.TarBz2_Opt, &s.Rar_Opt};
  for (int i = 0; i < 16; ++i) *options[i] = QString("o%1").arg(i + 1);
  s.File = 2;
  s.TmpDir = "/var/tmp/";
  s.Double = s.Auto = true;
  s.AutoExe = 3;
  s.Font_Name = "IPAGothic";
  s.Font_Size = 12;
  s.Font_Bold = s.Font_Italic = true;
  return s;
}

Settings Loaded() {
  SettingsStore store;
  Settings settings;
  LoadSettings(settings, store);
  return settings;
}

TEST(Settings, FirstStartTakesTheTableDefaultsAndWritesNothing) {
  FreshConfig config;
  TemporaryFolderVariable tmp(config.path().toLocal8Bit() + "/tmp");
  EXPECT_EQ(Loaded(), TableDefaults(config.path() + "/tmp/"));
  EXPECT_TRUE(QDir(config.path()).isEmpty());
}

TEST(Settings, TemporaryFolderDefaultsToSlashTmpWithoutTmpdir) {
  FreshConfig config;
  TemporaryFolderVariable tmp(QByteArray{});
  EXPECT_EQ(Loaded().TmpDir, "/tmp/");
}

TEST(Settings, FirstCloseWritesVersionAndEveryKeyInTextForm) {
  FreshConfig config;
  {
    SettingsStore store;
    EXPECT_TRUE(SaveSettings(TableDefaults("/tmp/"), store));
  }
  QSettings file(config.ini("Velmont Soft"), QSettings::IniFormat);
  EXPECT_EQ(file.allKeys().size(), 1 + static_cast<int>(SettingsKeys().size()));
  EXPECT_EQ(file.value("Version").toString(), "1.02");
  EXPECT_EQ(file.value("Lzh").toString(), "True");
  EXPECT_EQ(file.value("Lzh_X").toString(), "False");
  EXPECT_EQ(file.value("Font_Size").toString(), "10");
  EXPECT_EQ(file.value("TarGz_Opt").toString(), "-Gxf");
}

TEST(Settings, EarlierLocationWithVersionIsReadThenMovedAtClose) {
  FreshConfig config;
  config.writeIni("Velmont Soft", "[General]\nLzh=True\nFont_Size=9\n");
  const QString earlier = config.writeIni("Rukasu2", kEveryKeyChanged);
  EXPECT_EQ(Loaded(), EveryKeyChanged());
  {
    SettingsStore store;
    EXPECT_TRUE(SaveSettings(EveryKeyChanged(), store));
  }
  EXPECT_FALSE(QFileInfo::exists(earlier));
  EXPECT_FALSE(QFileInfo::exists(config.path() + "/Rukasu2"));
  EXPECT_EQ(Loaded(), EveryKeyChanged());
}

TEST(Settings, ADamagedEarlierLocationIsMovedAndKeptAsBackup) {
  FreshConfig config;
  const QByteArray damaged = QByteArray(kEveryKeyChanged) + "\x01 not a setting\n";
  const QString earlier = config.writeIni("Rukasu2", damaged);
  EXPECT_EQ(Loaded(), EveryKeyChanged());
  {
    SettingsStore store;
    Settings settings;
    LoadSettings(settings, store);
    EXPECT_TRUE(SaveSettings(settings, store));
  }
  EXPECT_FALSE(QFileInfo::exists(earlier));
  EXPECT_EQ(ReadFile(earlier + ".bak"), damaged);
  EXPECT_EQ(Loaded(), EveryKeyChanged());
}

TEST(Settings, EarlierLocationWithVersionZeroIsTreatedAsAbsent) {
  FreshConfig config;
  config.writeIni("Velmont Soft", "[General]\nFont_Size=9\n");
  const QString earlier = config.writeIni("Rukasu2", "[General]\nVersion=0.00\nFont_Size=12\n");
  const Settings loaded = Loaded();
  EXPECT_EQ(loaded.Font_Size, 9);
  {
    SettingsStore store;
    EXPECT_TRUE(SaveSettings(loaded, store));
  }
  EXPECT_FALSE(QFileInfo::exists(earlier));
}

TEST(Settings, EarlierLocationWithoutVersionIsNotRead) {
  FreshConfig config;
  config.writeIni("Rukasu2", "[General]\nMain_Left=120\nFont_Size=12\n");
  EXPECT_EQ(Loaded().Font_Size, 10);
}

struct DamagedRow {
  const char* name;
  const char* stored;  // the INI line
  bool Settings::*flag;
  int16_t Settings::*number;
  int expected;
};

class DamagedValues : public testing::TestWithParam<DamagedRow> {};

TEST_P(DamagedValues, ReadAsTheEncodingSays) {
  const DamagedRow& row = GetParam();
  FreshConfig config;
  config.writeIni("Velmont Soft", QByteArray("[General]\n") + row.stored + "\n");
  const Settings loaded = Loaded();
  if (row.flag) {
    EXPECT_EQ(loaded.*row.flag, row.expected != 0);
  } else {
    EXPECT_EQ(loaded.*row.number, row.expected);
  }
}

const DamagedRow kDamagedRows[] = {
    {"YesIsNoBooleanSoFalseNotTheDefault", "Lzh=yes", &Settings::Lzh, nullptr, 0},
    {"OneIsTrue", "Lzh_X=1", &Settings::Lzh_X, nullptr, 1},
    {"MinusOneIsTrue", "Lzh_X=-1", &Settings::Lzh_X, nullptr, 1},
    {"CapitalsAreTrue", "Lzh_X=TRUE", &Settings::Lzh_X, nullptr, 1},
    {"ZeroIsFalse", "Tip=0", &Settings::Tip, nullptr, 0},
    {"EmptyBooleanIsRejected", "Tip=", &Settings::Tip, nullptr, 0},
    {"HalfRoundsDownToEven", "Font_Size=10.5", nullptr, &Settings::Font_Size, 10},
    {"HalfRoundsUpToEven", "Font_Size=11.5", nullptr, &Settings::Font_Size, 12},
    {"TooLargeIsRejected", "Font_Size=40000", nullptr, &Settings::Font_Size, 0},
    {"TooSmallIsRejected", "Font_Size=-40000", nullptr, &Settings::Font_Size, 0},
    {"WordIsRejected", "Font_Size=big", nullptr, &Settings::Font_Size, 0},
    {"OutOfRangeActionIsKeptForTheDialog", "File=7", nullptr, &Settings::File, 7},
    {"RunModeRounds", "AutoExe=2.5", nullptr, &Settings::AutoExe, 2},
    {"FractionalBooleanIsTrue", "Double=0.5", &Settings::Double, nullptr, 1},
};

INSTANTIATE_TEST_SUITE_P(Stored, DamagedValues, testing::ValuesIn(kDamagedRows),
                         [](const testing::TestParamInfo<DamagedRow>& info) { return std::string(info.param.name); });

TEST(Settings, RejectedValueKeepsTheFieldAsItWas) {
  FreshConfig config;
  config.writeIni("Velmont Soft", "[General]\nLzh=maybe\nFont_Size=big\n");
  SettingsStore store;
  Settings settings;
  settings.Lzh = true;
  settings.Font_Size = 7;
  LoadSettings(settings, store);
  EXPECT_TRUE(settings.Lzh);
  EXPECT_EQ(settings.Font_Size, 7);
}

TEST(Settings, EmptyTemporaryFolderStaysEmpty) {
  FreshConfig config;
  config.writeIni("Velmont Soft", "[General]\nTmpDir=\n");
  EXPECT_EQ(Loaded().TmpDir, "");
}

TEST(Settings, UnreadableStoreGivesTheDefaults) {
  FreshConfig config;
  TemporaryFolderVariable tmp(QByteArray{});
  QDir().mkpath(config.ini("Velmont Soft"));
  EXPECT_EQ(Loaded(), TableDefaults("/tmp/"));
}

// Every field set to something other than its default, Japanese texts included.
Settings EveryFieldAltered() {
  Settings s;
  int n = 0;
  for (const SettingsKey& key : SettingsKeys()) {
    ++n;
    if (const auto* flag = std::get_if<BoolSetting>(&key.field)) s.*flag->field = !flag->defaultValue;
    if (const auto* number = std::get_if<Int16Setting>(&key.field)) s.*number->field = static_cast<int16_t>(-1000 * n);
    if (const auto* text = std::get_if<TextSetting>(&key.field)) s.*text->field = QString("解凍 %1 ｷｬﾝｾﾙ").arg(n);
  }
  return s;
}

TEST(Settings, EveryFieldSurvivesSaveAndLoadAsUtf8) {
  FreshConfig config;
  const Settings altered = EveryFieldAltered();
  {
    SettingsStore store;
    ASSERT_TRUE(SaveSettings(altered, store));
  }
  const QByteArray bytes = ReadFile(config.ini("Velmont Soft"));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);
  EXPECT_FALSE(utf8.hasError());
  EXPECT_TRUE(text.contains("Font_Name=解凍 ")) << bytes.constData();
  EXPECT_EQ(Loaded(), altered);
}

TEST(Settings, FailedSaveKeepsTheEarlierLocation) {
  FreshConfig config;
  const QString earlier = config.writeIni("Rukasu2", kEveryKeyChanged);
  QDir().mkpath(config.ini("Velmont Soft"));  // the current location cannot be written
  {
    SettingsStore store;
    EXPECT_FALSE(SaveSettings(EveryKeyChanged(), store));
  }
  EXPECT_EQ(ReadFile(earlier), QByteArray(kEveryKeyChanged));
}

}  // namespace
