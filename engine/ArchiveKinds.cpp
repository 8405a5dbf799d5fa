// The table of archive kinds; see ArchiveKinds.h.
#include "engine/ArchiveKinds.h"

#include <iterator>

#include "engine/Libraries.h"
#include "settings/Settings.h"

namespace {

using F = KindFamily;
using L = LibraryId;
using S = Settings;

constexpr FamilyRow kFamilies[kKindFamilyCount] = {
    {F::Lzh, L::Unlha, &S::Lzh, "ckbLZH", "pnlLZH", 8001, 8007, 20000, 20010, 20020, 20021},
    {F::Zip, L::UnZip, &S::Zip, "ckbZIP", "pnlZIP", 8002, 8008, 20001, 20011, 20022, 20023},
    {F::Arj, L::Unarj, &S::Arj, "ckbARJ", "pnlARJ", 8003, 8009, 20003, 20013, 0, 0},
    {F::Ish, L::Ish, &S::Ish, "ckbISH", "pnlISH", 8004, 8010, 20002, 20012, 0, 0},
    {F::Cab, L::Cab, &S::Cab, "ckbCAB", "pnlCAB", 8005, 8011, 20004, 20014, 0, 0},
    {F::Rar, L::Unrar, &S::Rar, "ckbRAR", "pnlRAR", 8070, 8072, 20024, 20025, 0, 0},
    {F::Tar, L::Tar, &S::Tar, "ckbTAR", "pnlTar", 8006, 8012, 20005, 0, 0, 0},
};

constexpr unsigned kExe = kProbed | kOtherName;
constexpr CommandForm kIsh = CommandForm::Ish;
constexpr CommandForm kOne = CommandForm::SingleFile;  // a single compressed file, named by the output path

constexpr ArchiveKind kKinds[] = {
    {".LZH", F::Lzh, nullptr, 0, &S::Lzh_Opt},
    {".EXE", F::Lzh, &S::Lzh_Exe, 8013, &S::Lzh_Opt, kExe},
    {".X", F::Lzh, &S::Lzh_X, 8014, &S::Lzh_Opt, kExe},
    {".LHA", F::Lzh, &S::Lzh_Lha, 8015, &S::Lzh_Opt, kOtherName},
    {".ZIP", F::Zip, nullptr, 0, &S::Zip_Opt},
    {".EXE", F::Zip, &S::Zip_Exe, 8016, &S::Zip_Opt, kExe},
    {".ISH", F::Ish, nullptr, 0, &S::Ish_Opt, 0, kIsh},
    {".LOG", F::Ish, &S::Ish_Log, 8018, &S::Ish_Opt, kProbed | kOtherName, kIsh},
    {".ARJ", F::Arj, nullptr, 0, &S::Arj_Opt},
    {".EXE", F::Arj, &S::Arj_Exe, 8017, &S::Arj_Opt, kExe},
    {".CAB", F::Cab, nullptr, 0, &S::Cab_Opt},
    {".EXE", F::Cab, &S::Cab_Exe, 8019, &S::Cab_Opt, kExe | kBoxWithoutLibrary},
    {".RAR", F::Rar, nullptr, 0, &S::Rar_Opt},
    {".EXE", F::Rar, &S::Rar_Exe, 8071, &S::Rar_Opt, kExe | kBoxWithoutLibrary},
    {".TAR", F::Tar, &S::Tar_Tar, 8020, &S::TarTar_Opt},
    {".TAR.GZ", F::Tar, &S::Tar_Targz, 8021, &S::TarTargz_Opt},
    {".TGZ", F::Tar, &S::Tar_Tgz, 8022, &S::TarTgz_Opt},
    {".TAR.Z", F::Tar, &S::Tar_Tarz, 8023, &S::TarTarz_Opt},
    {".TAZ", F::Tar, &S::Tar_Taz, 8024, &S::TarTaz_Opt},
    {".GZ", F::Tar, &S::Tar_Gz, 8025, &S::TarGz_Opt, 0, kOne},
    {".Z", F::Tar, &S::Tar_Z, 8026, &S::TarZ_Opt, 0, kOne},
    // One pattern entry, *.BZ2, lists both .TAR.BZ2 and .BZ2 names.
    {".TAR.BZ2", F::Tar, &S::Tar_TarBz2, 8080, &S::TarTarBz2_Opt, 0, {}, L::Bz2, "*.BZ2"},
    {".BZIP2", F::Tar, &S::Tar_Bzip2, 8081, &S::TarBzip2_Opt, 0, {}, L::Bz2},
    {".BZ2", F::Tar, &S::Tar_Bz2, 8082, &S::TarBz2_Opt, 0, {}, L::Bz2},
};

constexpr DoubleKind kDoubles[] = {
    {".LZH", ".LZH"},
    {".LZH", ".ZIP"},
    {".ZIP", ".LZH"},
    {".ZIP", ".ZIP"},
};

constexpr bool SameText(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

// The first kind of an extension (for a double kind's, the family's own kind);
// -1 when there is none.
constexpr int KindIndex(const char* extension) {
  for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i)
    if (SameText(kKinds[i].extension, extension)) return i;
  return -1;
}

constexpr bool TablesAgree() {
  for (int i = 0; i < kKindFamilyCount; ++i)
    if (static_cast<int>(kFamilies[i].family) != i) return false;
  for (const DoubleKind& d : kDoubles)
    if (KindIndex(d.inner) < 0 || KindIndex(d.outer) < 0) return false;
  return true;
}
static_assert(TablesAgree(), "families in KindFamily order; double kinds made of kinds");

}  // namespace

const FamilyRow& ArchiveKind::familyRow() const { return FamilyRowOf(family); }

bool ArchiveKind::on(const Settings& s, const Libraries& libraries) const {
  const FamilyRow& f = familyRow();
  return s.*f.on && libraries.present(f.library) && (!sub || s.*sub) && (!alsoNeeds || libraries.present(*alsoNeeds));
}

QString ArchiveKind::patternEntry() const {
  return pattern ? QString::fromLatin1(pattern) : u'*' + QString::fromLatin1(extension);
}

QString ArchiveKind::boxName() const {
  return QString::fromLatin1(familyRow().box) + u'_' + QString::fromLatin1(extension).remove(u'.');
}

const ArchiveKind& DoubleKind::innerKind() const { return kKinds[KindIndex(inner)]; }
const ArchiveKind& DoubleKind::outerKind() const { return kKinds[KindIndex(outer)]; }

QString DoubleKind::extension() const { return QString::fromLatin1(inner) + QString::fromLatin1(outer); }

bool DoubleKind::on(const Settings& s, const Libraries& libraries) const {
  return s.Double && innerKind().on(s, libraries) && outerKind().on(s, libraries);
}

std::span<const FamilyRow> FamilyRows() { return kFamilies; }

const FamilyRow& FamilyRowOf(KindFamily family) { return kFamilies[static_cast<int>(family)]; }

std::span<const ArchiveKind> ArchiveKinds() { return kKinds; }

std::span<const DoubleKind> DoubleKinds() { return kDoubles; }

const DoubleKind* FindDoubleKind(const QString& ext) {
  for (const DoubleKind& kind : kDoubles) {
    const QLatin1String inner(kind.inner), outer(kind.outer);
    if (ext.size() == inner.size() + outer.size() && ext.startsWith(inner) && ext.endsWith(outer)) return &kind;
  }
  return nullptr;
}

bool IsTwoPartKindExtension(const QString& upperTail) {
  for (const ArchiveKind& kind : kKinds)
    if (upperTail == QLatin1String(kind.extension) && upperTail.count(u'.') == 2) return true;
  return false;
}
