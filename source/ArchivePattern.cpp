// See ArchivePattern.h.
#include "source/ArchivePattern.h"

#include <QStringList>

#include "engine/Libraries.h"
#include "engine/PathHelpers.h"
#include "settings/Settings.h"

namespace {

// Which kinds are on: the switch set and the library present.
struct KindsOn {
  bool lzh, zip, ish, arj, cab, rar, tar, bz2;
  bool exe;  // some kind that comes as a self-extracting .EXE

  KindsOn(const Settings& s, const Libraries& l)
      : lzh(s.Lzh && l.present(LibraryId::Unlha)),
        zip(s.Zip && l.present(LibraryId::UnZip)),
        ish(s.Ish && l.present(LibraryId::Ish)),
        arj(s.Arj && l.present(LibraryId::Unarj)),
        cab(s.Cab && l.present(LibraryId::Cab)),
        rar(s.Rar && l.present(LibraryId::Unrar)),
        tar(s.Tar && l.present(LibraryId::Tar)),
        bz2(tar && l.present(LibraryId::Bz2)),
        exe((lzh && s.Lzh_Exe) || (zip && s.Zip_Exe) || (arj && s.Arj_Exe) || (cab && s.Cab_Exe) ||
            (rar && s.Rar_Exe)) {}
};

bool DoubleExtensionOn(const QString& ext, const KindsOn& on) {
  if (ext == QStringLiteral(".LZH.LZH")) return on.lzh;
  if (ext == QStringLiteral(".LZH.ZIP") || ext == QStringLiteral(".ZIP.LZH")) return on.lzh && on.zip;
  if (ext == QStringLiteral(".ZIP.ZIP")) return on.zip;
  return false;
}

bool ExtensionOn(const QString& ext, const Settings& s, const KindsOn& on) {
  const struct {
    const char* ext;
    bool on;
  } rows[] = {
      {".LZH", on.lzh},
      {".LHA", on.lzh && s.Lzh_Lha},
      {".ZIP", on.zip},
      {".ISH", on.ish},
      {".ARJ", on.arj},
      {".CAB", on.cab},
      {".RAR", on.rar},
      {".EXE", on.exe},
      {".X", on.lzh && s.Lzh_X},
      {".LOG", on.ish && s.Ish_Log},
      {".TAR", on.tar && s.Tar_Tar},
      {".TAR.GZ", on.tar && s.Tar_Targz},
      {".TGZ", on.tar && s.Tar_Tgz},
      {".TAR.Z", on.tar && s.Tar_Tarz},
      {".TAZ", on.tar && s.Tar_Taz},
      {".GZ", on.tar && s.Tar_Gz},
      {".Z", on.tar && s.Tar_Z},
      {".TAR.BZ2", on.bz2 && s.Tar_TarBz2},
      {".BZIP2", on.bz2 && s.Tar_Bzip2},
      {".BZ2", on.bz2 && s.Tar_Bz2},
  };
  for (const auto& row : rows)
    if (ext == QLatin1String(row.ext)) return row.on;
  return false;
}

}  // namespace

QString ArchivePattern(const Settings& s, const Libraries& libraries) {
  const KindsOn on(s, libraries);
  QStringList p;
  if (on.lzh) p << "*.LZH";
  if (on.zip) p << "*.ZIP";
  if (on.ish) p << "*.ISH";
  if (on.arj) p << "*.ARJ";
  if (on.cab) p << "*.CAB";
  if (on.rar) p << "*.RAR";
  if (on.tar) {
    if (s.Tar_Tar) p << "*.TAR";
    if (s.Tar_Targz) p << "*.TAR.GZ";
    if (s.Tar_Tgz) p << "*.TGZ";
    if (s.Tar_Tarz) p << "*.TAR.Z";
    if (s.Tar_Taz) p << "*.TAZ";
    if (s.Tar_Gz) p << "*.GZ";
    if (s.Tar_Z) p << "*.Z";
    // One pattern lists both .BZ2 and .TAR.BZ2 names.
    if (on.bz2 && (s.Tar_Bz2 || s.Tar_TarBz2)) p << "*.BZ2";
    if (on.bz2 && s.Tar_Bzip2) p << "*.BZIP2";
  }
  if (on.exe) p << "*.EXE";
  if (on.lzh && s.Lzh_X) p << "*.X";
  if (on.lzh && s.Lzh_Lha) p << "*.LHA";
  if (on.ish && s.Ish_Log) p << "*.LOG";
  return p.isEmpty() ? QString::fromLatin1(kNoArchivePattern) : p.join(u';');
}

bool IsArchiveName(const QString& name, const Settings& s, const Libraries& libraries) {
  const KindsOn on(s, libraries);
  if (s.Double && DoubleExtensionOn(UCase_Get(Exp_Get(name, true, true)), on)) return true;
  return ExtensionOn(UCase_Get(Exp_Get(name, true, false)), s, on);
}
