// See Settings.h. One table drives both walks, so loading and saving always
// take the same keys in the same order.
#include "settings/Settings.h"

#include <array>

#include "platform/TempFolder.h"
#include "settings/SettingsField.h"
#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"

namespace {

using S = Settings;

constexpr auto kKeys = std::to_array<SettingsKey>({
    {u"Lzh", BoolSetting{&S::Lzh, true}},
    {u"Zip", BoolSetting{&S::Zip, true}},
    {u"Ish", BoolSetting{&S::Ish, true}},
    {u"Arj", BoolSetting{&S::Arj, true}},
    {u"Tar", BoolSetting{&S::Tar, true}},
    {u"Cab", BoolSetting{&S::Cab, true}},
    {u"Rar", BoolSetting{&S::Rar, true}},
    {u"SevenZip", BoolSetting{&S::SevenZip, true}},
    {u"Lzh_X", BoolSetting{&S::Lzh_X, false}},
    {u"Lzh_Lha", BoolSetting{&S::Lzh_Lha, false}},
    {u"Lzh_Exe", BoolSetting{&S::Lzh_Exe, false}},
    {u"Zip_Exe", BoolSetting{&S::Zip_Exe, false}},
    {u"Arj_Exe", BoolSetting{&S::Arj_Exe, false}},
    {u"Ish_Log", BoolSetting{&S::Ish_Log, false}},
    {u"Cab_Exe", BoolSetting{&S::Cab_Exe, false}},
    {u"Rar_Exe", BoolSetting{&S::Rar_Exe, false}},
    {u"SevenZip_Exe", BoolSetting{&S::SevenZip_Exe, false}},
    {u"Tar_Tar", BoolSetting{&S::Tar_Tar, true}},
    {u"Tar_Targz", BoolSetting{&S::Tar_Targz, true}},
    {u"Tar_Tgz", BoolSetting{&S::Tar_Tgz, true}},
    {u"Tar_Tarz", BoolSetting{&S::Tar_Tarz, true}},
    {u"Tar_Taz", BoolSetting{&S::Tar_Taz, true}},
    {u"Tar_Gz", BoolSetting{&S::Tar_Gz, true}},
    {u"Tar_Z", BoolSetting{&S::Tar_Z, true}},
    {u"Tar_TarBz2", BoolSetting{&S::Tar_TarBz2, true}},
    {u"Tar_Bzip2", BoolSetting{&S::Tar_Bzip2, true}},
    {u"Tar_Bz2", BoolSetting{&S::Tar_Bz2, true}},
    {u"Tar_TarXz", BoolSetting{&S::Tar_TarXz, true}},
    {u"Tar_Txz", BoolSetting{&S::Tar_Txz, true}},
    {u"Tar_Xz", BoolSetting{&S::Tar_Xz, true}},
    {u"Tar_TarZst", BoolSetting{&S::Tar_TarZst, true}},
    {u"Tar_Tzst", BoolSetting{&S::Tar_Tzst, true}},
    {u"Tar_Zst", BoolSetting{&S::Tar_Zst, true}},
    {u"Tar_TarLz", BoolSetting{&S::Tar_TarLz, true}},
    {u"Tar_Lz", BoolSetting{&S::Tar_Lz, true}},
    {u"Tar_TarLzma", BoolSetting{&S::Tar_TarLzma, true}},
    {u"Tar_Tlz", BoolSetting{&S::Tar_Tlz, true}},
    {u"Tar_Lzma", BoolSetting{&S::Tar_Lzma, true}},
    {u"Lzh_Opt", TextSetting{&S::Lzh_Opt, u"x -+"}},
    {u"Zip_Opt", TextSetting{&S::Zip_Opt, u"-x"}},
    {u"Ish_Opt", TextSetting{&S::Ish_Opt, u"/m"}},
    {u"Arj_Opt", TextSetting{&S::Arj_Opt, u"x -+"}},
    {u"Cab_Opt", TextSetting{&S::Cab_Opt, u"-x -n"}},
    {u"TarTar_Opt", TextSetting{&S::TarTar_Opt, u"-xfo"}},
    {u"TarTargz_Opt", TextSetting{&S::TarTargz_Opt, u"-xfo"}},
    {u"TarTgz_Opt", TextSetting{&S::TarTgz_Opt, u"-xfo"}},
    {u"TarTarz_Opt", TextSetting{&S::TarTarz_Opt, u"-xfo"}},
    {u"TarTaz_Opt", TextSetting{&S::TarTaz_Opt, u"-xfo"}},
    {u"TarGz_Opt", TextSetting{&S::TarGz_Opt, u"-Gxf"}},
    {u"TarZ_Opt", TextSetting{&S::TarZ_Opt, u"-Gxf"}},
    {u"TarTarBz2_Opt", TextSetting{&S::TarTarBz2_Opt, u"-xfo"}},
    {u"TarBzip2_Opt", TextSetting{&S::TarBzip2_Opt, u"-Gxf"}},
    {u"TarBz2_Opt", TextSetting{&S::TarBz2_Opt, u"-Gxf"}},
    {u"Rar_Opt", TextSetting{&S::Rar_Opt, u"-x -u"}},
    {u"SevenZip_Opt", TextSetting{&S::SevenZip_Opt, u"x"}},
    {u"TarTarXz_Opt", TextSetting{&S::TarTarXz_Opt, u"-xfo"}},
    {u"TarTxz_Opt", TextSetting{&S::TarTxz_Opt, u"-xfo"}},
    {u"TarXz_Opt", TextSetting{&S::TarXz_Opt, u"-Gxf"}},
    {u"TarTarZst_Opt", TextSetting{&S::TarTarZst_Opt, u"-xfo"}},
    {u"TarTzst_Opt", TextSetting{&S::TarTzst_Opt, u"-xfo"}},
    {u"TarZst_Opt", TextSetting{&S::TarZst_Opt, u"-Gxf"}},
    {u"TarTarLz_Opt", TextSetting{&S::TarTarLz_Opt, u"-xfo"}},
    {u"TarLz_Opt", TextSetting{&S::TarLz_Opt, u"-Gxf"}},
    {u"TarTarLzma_Opt", TextSetting{&S::TarTarLzma_Opt, u"-xfo"}},
    {u"TarTlz_Opt", TextSetting{&S::TarTlz_Opt, u"-xfo"}},
    {u"TarLzma_Opt", TextSetting{&S::TarLzma_Opt, u"-Gxf"}},
    {u"File", Int16Setting{&S::File, 0}},
    {u"TmpDir", TextSetting{&S::TmpDir, nullptr}},
    {u"UCase", BoolSetting{&S::UCase, true}},
    {u"Double", BoolSetting{&S::Double, false}},
    {u"Auto", BoolSetting{&S::Auto, false}},
    {u"AutoExe", Int16Setting{&S::AutoExe, 0}},
    {u"AutoLog", BoolSetting{&S::AutoLog, true}},
    {u"Resize", BoolSetting{&S::Resize, true}},
    {u"Tip", BoolSetting{&S::Tip, true}},
    {u"Font_Name", TextSetting{&S::Font_Name, u"ＭＳ 明朝"}},
    {u"Font_Size", Int16Setting{&S::Font_Size, 10}},
    {u"Font_Bold", BoolSetting{&S::Font_Bold, false}},
    {u"Font_Italic", BoolSetting{&S::Font_Italic, false}},
});

const QString kVersionKey = QStringLiteral("Version");
const QString kAbsentVersion = QStringLiteral("0.00");

void ReadKey(const SettingsKey& key, Settings& settings, SettingsStore& store, const StoreLocation& from) {
  const QString name = QString::fromUtf16(key.name);
  if (const auto* flag = std::get_if<BoolSetting>(&key.field)) {
    ReadBool(store, from, name, flag->defaultValue, settings.*flag->field);
  } else if (const auto* number = std::get_if<Int16Setting>(&key.field)) {
    ReadInt16(store, from, name, number->defaultValue, settings.*number->field);
  } else if (const auto* text = std::get_if<TextSetting>(&key.field)) {
    const QString fallback = text->defaultValue ? QString::fromUtf16(text->defaultValue) : TempFolderPath();
    ReadText(store, from, name, fallback, settings.*text->field);
  }
}

bool WriteKey(const SettingsKey& key, const Settings& settings, SettingsStore& store, const StoreLocation& to) {
  const QString name = QString::fromUtf16(key.name);
  if (const auto* flag = std::get_if<BoolSetting>(&key.field)) return WriteBool(store, to, name, settings.*flag->field);
  if (const auto* number = std::get_if<Int16Setting>(&key.field))
    return WriteInt(store, to, name, settings.*number->field);
  if (const auto* text = std::get_if<TextSetting>(&key.field)) return WriteText(store, to, name, settings.*text->field);
  return false;
}

}  // namespace

std::span<const SettingsKey> SettingsKeys() { return kKeys; }

QString SettingsVersion() { return QStringLiteral("1.02"); }

void LoadSettings(Settings& settings, SettingsStore& store) {
  const StoreLocation earlier = EarlierLocation();
  const auto version = store.read(earlier.application, earlier.section, kVersionKey, kAbsentVersion);
  // A store that cannot be read counts as holding no earlier settings.
  const StoreLocation from = (version && *version != kAbsentVersion) ? earlier : CurrentLocation();
  for (const SettingsKey& key : kKeys) ReadKey(key, settings, store, from);
}

bool SaveSettings(const Settings& settings, SettingsStore& store) {
  const StoreLocation current = CurrentLocation();
  bool written = WriteText(store, current, kVersionKey, SettingsVersion());
  for (const SettingsKey& key : kKeys) written = WriteKey(key, settings, store, current) && written;
  // The earlier location may be where these settings were loaded from: it
  // goes only once the current location holds them on disk.
  written = store.sync() && written;
  if (!written) return false;
  // The earlier location's own section goes, read first so that the store
  // knows it (and whether it is whole); nothing else of its folder does.
  const StoreLocation earlier = EarlierLocation();
  store.read(earlier.application, earlier.section, kVersionKey, kAbsentVersion);
  return store.removeApplication(earlier.application);
}
