// The dispatch tables of one archive's extraction; see ArchiveKinds.h.
#include "engine/ArchiveKinds.h"

#include <array>

#include "engine/Libraries.h"
#include "settings/Settings.h"

namespace {

using L = LibraryId;
using S = Settings;
using Lib = Libraries;

bool LzhOn(const S& s, const Lib& l) { return s.Lzh && l.present(L::Unlha); }
bool ZipOn(const S& s, const Lib& l) { return s.Zip && l.present(L::UnZip); }
bool IshOn(const S& s, const Lib& l) { return s.Ish && l.present(L::Ish); }
bool ArjOn(const S& s, const Lib& l) { return s.Arj && l.present(L::Unarj); }
bool CabOn(const S& s, const Lib& l) { return s.Cab && l.present(L::Cab); }
bool RarOn(const S& s, const Lib& l) { return s.Rar && l.present(L::Unrar); }
bool TarOn(const S& s, const Lib& l) { return s.Tar && l.present(L::Tar); }
bool Bz2On(const S& s, const Lib& l) { return TarOn(s, l) && l.present(L::Bz2); }
bool Always(const S&, const Lib&) { return true; }

constexpr int kLzhLine = 20000, kZipLine = 20001, kIshLine = 20002, kArjLine = 20003, kCabLine = 20004,
              kTarLine = 20005, kRarLine = 20024;

const std::array<ArchiveKind, 24> kKinds = {{
    {".LZH", KindAction::Call, L::Unlha, CommandForm::Standard, &S::Lzh_Opt, kLzhLine, LzhOn},
    {".LHA", KindAction::Call, L::Unlha, CommandForm::Standard, &S::Lzh_Opt, kLzhLine,
     [](const S& s, const Lib& l) { return LzhOn(s, l) && s.Lzh_Lha; }},
    {".ZIP", KindAction::Call, L::UnZip, CommandForm::Standard, &S::Zip_Opt, kZipLine, ZipOn},
    {".ISH", KindAction::Call, L::Ish, CommandForm::Ish, &S::Ish_Opt, kIshLine, IshOn},
    {".ARJ", KindAction::Call, L::Unarj, CommandForm::Standard, &S::Arj_Opt, kArjLine, ArjOn},
    {".CAB", KindAction::Call, L::Cab, CommandForm::Standard, &S::Cab_Opt, kCabLine, CabOn},
    {".RAR", KindAction::Call, L::Unrar, CommandForm::Standard, &S::Rar_Opt, kRarLine, RarOn},
    {".EXE", KindAction::ProbeExe, L::Unlha, CommandForm::Standard, nullptr, 0, Always},
    {".X", KindAction::ProbeX, L::Unlha, CommandForm::Standard, &S::Lzh_Opt, kLzhLine,
     [](const S& s, const Lib& l) { return LzhOn(s, l) && s.Lzh_X; }},
    {".LOG", KindAction::ProbeLog, L::Ish, CommandForm::Ish, &S::Ish_Opt, kIshLine,
     [](const S& s, const Lib& l) { return IshOn(s, l) && s.Ish_Log; }},
    {".TAR", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTar_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Tar; }},
    {".TAR.GZ", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTargz_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Targz; }},
    {".TGZ", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTgz_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Tgz; }},
    {".TAR.Z", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTarz_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Tarz; }},
    {".TAZ", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTaz_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Taz; }},
    {".GZ", KindAction::Call, L::Tar, CommandForm::SingleFile, &S::TarGz_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Gz; }},
    {".Z", KindAction::Call, L::Tar, CommandForm::SingleFile, &S::TarZ_Opt, kTarLine,
     [](const S& s, const Lib& l) { return TarOn(s, l) && s.Tar_Z; }},
    {".TAR.BZ2", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarTarBz2_Opt, kTarLine,
     [](const S& s, const Lib& l) { return Bz2On(s, l) && s.Tar_TarBz2; }},
    {".BZIP2", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarBzip2_Opt, kTarLine,
     [](const S& s, const Lib& l) { return Bz2On(s, l) && s.Tar_Bzip2; }},
    {".BZ2", KindAction::Call, L::Tar, CommandForm::Standard, &S::TarBz2_Opt, kTarLine,
     [](const S& s, const Lib& l) { return Bz2On(s, l) && s.Tar_Bz2; }},
    {".LZH.LZH", KindAction::Double, L::Unlha, CommandForm::Standard, nullptr, 0,
     [](const S& s, const Lib& l) { return s.Double && LzhOn(s, l); }},
    {".LZH.ZIP", KindAction::Double, L::UnZip, CommandForm::Standard, nullptr, 0,
     [](const S& s, const Lib& l) { return s.Double && LzhOn(s, l) && ZipOn(s, l); }},
    {".ZIP.LZH", KindAction::Double, L::Unlha, CommandForm::Standard, nullptr, 0,
     [](const S& s, const Lib& l) { return s.Double && LzhOn(s, l) && ZipOn(s, l); }},
    {".ZIP.ZIP", KindAction::Double, L::UnZip, CommandForm::Standard, nullptr, 0,
     [](const S& s, const Lib& l) { return s.Double && ZipOn(s, l); }},
}};

}  // namespace

const ArchiveKind* FindArchiveKind(const QString& ext) {
  for (const ArchiveKind& kind : kKinds)
    if (ext == QLatin1String(kind.extension)) return &kind;
  return nullptr;
}

const std::vector<ExeProbe>& ExeProbeChain() {
  static const std::vector<ExeProbe> chain = {
      {L::Unlha, &S::Lzh_Opt, 20010, kLzhLine, [](const S& s, const Lib& l) { return LzhOn(s, l) && s.Lzh_Exe; }},
      {L::UnZip, &S::Zip_Opt, 20011, kZipLine, [](const S& s, const Lib& l) { return ZipOn(s, l) && s.Zip_Exe; }},
      {L::Unarj, &S::Arj_Opt, 20013, kArjLine, [](const S& s, const Lib& l) { return ArjOn(s, l) && s.Arj_Exe; }},
      {L::Cab, &S::Cab_Opt, 20014, kCabLine, [](const S& s, const Lib& l) { return CabOn(s, l) && s.Cab_Exe; }},
      {L::Unrar, &S::Rar_Opt, 20025, kRarLine, [](const S& s, const Lib& l) { return RarOn(s, l) && s.Rar_Exe; }},
  };
  return chain;
}

DoubleKind DoubleKindOf(const QString& ext) {
  const DoublePass lzhFirst{L::Unlha, &S::Lzh_Opt, 20020}, zipFirst{L::UnZip, &S::Zip_Opt, 20022};
  const DoublePass lzhSecond{L::Unlha, &S::Lzh_Opt, 20021}, zipSecond{L::UnZip, &S::Zip_Opt, 20023};
  if (ext == QLatin1String(".LZH.LZH")) return {lzhFirst, lzhSecond};
  if (ext == QLatin1String(".LZH.ZIP")) return {zipFirst, lzhSecond};
  if (ext == QLatin1String(".ZIP.LZH")) return {lzhFirst, zipSecond};
  return {zipFirst, zipSecond};
}
