// The central settings record, its keys in the settings store and the two
// walks over them: LoadSettings at start-up and SaveSettings at close. The
// program owns one record and hands it to whatever needs it.
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include <QString>

class SettingsStore;

// Fields carry their store keys' names, in the order both walks take them.
// A fresh record is all False, 0 and empty: what a rejected stored value
// leaves behind.
struct Settings {
  bool Lzh = false;
  bool Zip = false;
  bool Ish = false;
  bool Arj = false;
  bool Tar = false;
  bool Cab = false;
  bool Rar = false;
  bool SevenZip = false;
  bool Lzh_X = false;
  bool Lzh_Lha = false;
  bool Lzh_Exe = false;
  bool Zip_Exe = false;
  bool Arj_Exe = false;
  bool Ish_Log = false;
  bool Cab_Exe = false;
  bool Rar_Exe = false;
  bool SevenZip_Exe = false;
  bool Tar_Tar = false;
  bool Tar_Targz = false;
  bool Tar_Tgz = false;
  bool Tar_Tarz = false;
  bool Tar_Taz = false;
  bool Tar_Gz = false;
  bool Tar_Z = false;
  bool Tar_TarBz2 = false;
  bool Tar_Bzip2 = false;
  bool Tar_Bz2 = false;
  bool Tar_TarXz = false;
  bool Tar_Txz = false;
  bool Tar_Xz = false;
  bool Tar_TarZst = false;
  bool Tar_Tzst = false;
  bool Tar_Zst = false;
  bool Tar_TarLz = false;
  bool Tar_Lz = false;
  bool Tar_TarLzma = false;
  bool Tar_Tlz = false;
  bool Tar_Lzma = false;
  QString Lzh_Opt;
  QString Zip_Opt;
  QString Ish_Opt;
  QString Arj_Opt;
  QString Cab_Opt;
  QString TarTar_Opt;
  QString TarTargz_Opt;
  QString TarTgz_Opt;
  QString TarTarz_Opt;
  QString TarTaz_Opt;
  QString TarGz_Opt;
  QString TarZ_Opt;
  QString TarTarBz2_Opt;
  QString TarBzip2_Opt;
  QString TarBz2_Opt;
  QString Rar_Opt;
  QString SevenZip_Opt;
  QString TarTarXz_Opt;
  QString TarTxz_Opt;
  QString TarXz_Opt;
  QString TarTarZst_Opt;
  QString TarTzst_Opt;
  QString TarZst_Opt;
  QString TarTarLz_Opt;
  QString TarLz_Opt;
  QString TarTarLzma_Opt;
  QString TarTlz_Opt;
  QString TarLzma_Opt;
  int16_t File = 0;  // PostAction: 0 None, 1 Copy, 2 Move, 3 Delete
  QString TmpDir;
  bool UCase = false;
  bool Double = false;
  bool Auto = false;
  int16_t AutoExe = 0;  // RunMode of the automatic run
  bool AutoLog = false;
  bool Resize = false;
  bool Tip = false;
  QString Font_Name;
  int16_t Font_Size = 0;
  bool Font_Bold = false;
  bool Font_Italic = false;

  bool operator==(const Settings&) const = default;
};

// One key of the record with its field and its default.
struct BoolSetting {
  bool Settings::*field;
  bool defaultValue;
};
struct Int16Setting {
  int16_t Settings::*field;
  int16_t defaultValue;
};
struct TextSetting {
  QString Settings::*field;
  const char16_t* defaultValue;  // nullptr: the temporary folder at load time
};
struct SettingsKey {
  const char16_t* name;
  std::variant<BoolSetting, Int16Setting, TextSetting> field;
};

// Every key of the record, in table order (Version, which is no field, aside).
std::span<const SettingsKey> SettingsKeys();

// The format version SaveSettings writes first.
QString SettingsVersion();

// Fills the record from the earlier location when it holds a Version other
// than "0.00", else from the current location. An absent key gives its
// default; a read that fails leaves its field as it was.
void LoadSettings(Settings& settings, SettingsStore& store);

// Writes Version and every field to the current location, then, once that has
// reached the disk, removes the earlier location. True when everything was
// written and the earlier location is gone.
bool SaveSettings(const Settings& settings, SettingsStore& store);
