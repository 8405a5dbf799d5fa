// The table of archive kinds; see ArchiveKinds.h.
#include "engine/ArchiveKinds.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "engine/Libraries.h"
#include "settings/Settings.h"

namespace {

using F = KindFamily;
using L = LibraryId;
using S = Settings;

using M = ProductMsg;
constexpr std::nullopt_t kNone = std::nullopt;

constexpr FamilyRow kFamilies[kKindFamilyCount] = {
    {F::Lzh, L::Unlha, &S::Lzh, "ckbLZH", "pnlLZH", M::OptionLzh, M::OptionLzhTip, M::LogLzhExtracting,
     M::LogLzhChecking, M::LogLzhOuterPass, M::LogLzhInnerPass},
    {F::Zip, L::UnZip, &S::Zip, "ckbZIP", "pnlZIP", M::OptionZip, M::OptionZipTip, M::LogZipExtracting,
     M::LogZipChecking, M::LogZipOuterPass, M::LogZipInnerPass},
    {F::Arj, L::Unarj, &S::Arj, "ckbARJ", "pnlARJ", M::OptionArj, M::OptionArjTip, M::LogArjExtracting,
     M::LogArjChecking, kNone, kNone},
    {F::Ish, L::Ish, &S::Ish, "ckbISH", "pnlISH", M::OptionIsh, M::OptionIshTip, M::LogIshDecoding, M::LogIshChecking,
     kNone, kNone},
    {F::Cab, L::Cab, &S::Cab, "ckbCAB", "pnlCAB", M::OptionCab, M::OptionCabTip, M::LogCabExtracting,
     M::LogCabChecking, kNone, kNone},
    {F::Rar, L::Unrar, &S::Rar, "ckbRAR", "pnlRAR", M::OptionRar, M::OptionRarTip, M::LogRarExtracting,
     M::LogRarChecking, kNone, kNone},
    {F::SevenZip, L::SevenZip, &S::SevenZip, "ckb7Z", "pnl7Z", M::OptionSevenZip, M::OptionSevenZipTip,
     M::LogSevenZipExtracting, M::LogSevenZipChecking, M::LogSevenZipOuterPass, M::LogSevenZipInnerPass},
    {F::Tar, L::Tar, &S::Tar, "ckbTAR", "pnlTar", M::OptionTar, M::OptionTarTip, M::LogTarExtracting, kNone, kNone,
     M::LogTarInnerPass},
};

constexpr unsigned kExe = kProbed | kOtherName;
constexpr CommandForm kIsh = CommandForm::Ish;
constexpr CommandForm kOne = CommandForm::SingleFile;  // a single compressed file, named by the output path
constexpr const char* kSplitPattern = "*.001";          // one entry lists every split file's first part

constexpr ArchiveKind kKinds[] = {
    {".LZH", F::Lzh, nullptr, {}, &S::Lzh_Opt},
    {".EXE", F::Lzh, &S::Lzh_Exe, M::OptionLzhExeTip, &S::Lzh_Opt, kExe},
    {".X", F::Lzh, &S::Lzh_X, M::OptionLzhXTip, &S::Lzh_Opt, kExe},
    {".LHA", F::Lzh, &S::Lzh_Lha, M::OptionLzhLhaTip, &S::Lzh_Opt, kOtherName},
    {".ZIP", F::Zip, nullptr, {}, &S::Zip_Opt},
    {".EXE", F::Zip, &S::Zip_Exe, M::OptionZipExeTip, &S::Zip_Opt, kExe},
    {".ISH", F::Ish, nullptr, {}, &S::Ish_Opt, 0, kIsh},
    {".LOG", F::Ish, &S::Ish_Log, M::OptionIshLogTip, &S::Ish_Opt, kProbed | kOtherName, kIsh},
    {".ARJ", F::Arj, nullptr, {}, &S::Arj_Opt},
    {".EXE", F::Arj, &S::Arj_Exe, M::OptionArjExeTip, &S::Arj_Opt, kExe},
    {".CAB", F::Cab, nullptr, {}, &S::Cab_Opt},
    {".EXE", F::Cab, &S::Cab_Exe, M::OptionCabExeTip, &S::Cab_Opt, kExe | kBoxWithoutLibrary},
    {".RAR", F::Rar, nullptr, {}, &S::Rar_Opt},
    {".EXE", F::Rar, &S::Rar_Exe, M::OptionRarExeTip, &S::Rar_Opt, kExe | kBoxWithoutLibrary},
    {".7Z", F::SevenZip, nullptr, {}, &S::SevenZip_Opt},
    {".EXE", F::SevenZip, &S::SevenZip_Exe, M::OptionSevenZipExeTip, &S::SevenZip_Opt, kExe},
    {".TAR", F::Tar, &S::Tar_Tar, M::OptionTarTarTip, &S::TarTar_Opt},
    {".TAR.GZ", F::Tar, &S::Tar_Targz, M::OptionTarTargzTip, &S::TarTargz_Opt},
    {".TGZ", F::Tar, &S::Tar_Tgz, M::OptionTarTgzTip, &S::TarTgz_Opt},
    {".TAR.Z", F::Tar, &S::Tar_Tarz, M::OptionTarTarzTip, &S::TarTarz_Opt},
    {".TAZ", F::Tar, &S::Tar_Taz, M::OptionTarTazTip, &S::TarTaz_Opt},
    {".GZ", F::Tar, &S::Tar_Gz, M::OptionTarGzTip, &S::TarGz_Opt, 0, kOne},
    {".Z", F::Tar, &S::Tar_Z, M::OptionTarZTip, &S::TarZ_Opt, 0, kOne},
    // One pattern entry, *.BZ2, lists both .TAR.BZ2 and .BZ2 names.
    {".TAR.BZ2", F::Tar, &S::Tar_TarBz2, M::OptionTarTarBz2Tip, &S::TarTarBz2_Opt, 0, {}, L::Bz2, "*.BZ2"},
    {".BZIP2", F::Tar, &S::Tar_Bzip2, M::OptionTarBzip2Tip, &S::TarBzip2_Opt, 0, kOne, L::Bz2},
    {".BZ2", F::Tar, &S::Tar_Bz2, M::OptionTarBz2Tip, &S::TarBz2_Opt, 0, kOne, L::Bz2},
    {".TAR.XZ", F::Tar, &S::Tar_TarXz, M::OptionTarTarXzTip, &S::TarTarXz_Opt},
    {".TXZ", F::Tar, &S::Tar_Txz, M::OptionTarTxzTip, &S::TarTxz_Opt},
    {".XZ", F::Tar, &S::Tar_Xz, M::OptionTarXzTip, &S::TarXz_Opt, 0, kOne},
    {".TAR.ZST", F::Tar, &S::Tar_TarZst, M::OptionTarTarZstTip, &S::TarTarZst_Opt},
    {".TZST", F::Tar, &S::Tar_Tzst, M::OptionTarTzstTip, &S::TarTzst_Opt},
    {".ZST", F::Tar, &S::Tar_Zst, M::OptionTarZstTip, &S::TarZst_Opt, 0, kOne},
    {".TAR.LZ", F::Tar, &S::Tar_TarLz, M::OptionTarTarLzTip, &S::TarTarLz_Opt},
    {".LZ", F::Tar, &S::Tar_Lz, M::OptionTarLzTip, &S::TarLz_Opt, 0, kOne},
    {".TAR.LZMA", F::Tar, &S::Tar_TarLzma, M::OptionTarTarLzmaTip, &S::TarTarLzma_Opt},
    {".TLZ", F::Tar, &S::Tar_Tlz, M::OptionTarTlzTip, &S::TarTlz_Opt},
    {".LZMA", F::Tar, &S::Tar_Lzma, M::OptionTarLzmaTip, &S::TarLzma_Opt, 0, kOne},
    // The other names the file types of these kinds go by on the desktop.
    {".TBZ2", F::Tar, &S::Tar_TarBz2, M::OptionTarTarBz2Tip, &S::TarTarBz2_Opt, kSpelling | kOtherName, {}, L::Bz2},
    {".TBZ", F::Tar, &S::Tar_TarBz2, M::OptionTarTarBz2Tip, &S::TarTarBz2_Opt, kSpelling | kOtherName, {}, L::Bz2},
    {".TB2", F::Tar, &S::Tar_TarBz2, M::OptionTarTarBz2Tip, &S::TarTarBz2_Opt, kSpelling | kOtherName, {}, L::Bz2},
    {".TAR.BZ", F::Tar, &S::Tar_TarBz2, M::OptionTarTarBz2Tip, &S::TarTarBz2_Opt, kSpelling | kOtherName, {}, L::Bz2,
     "*.BZ"},
    {".BZ", F::Tar, &S::Tar_Bz2, M::OptionTarBz2Tip, &S::TarBz2_Opt, kSpelling | kOtherName, kOne, L::Bz2},
    {".GTAR", F::Tar, &S::Tar_Tar, M::OptionTarTarTip, &S::TarTar_Opt, kSpelling | kOtherName},
    // Split files (name.7z.001, name.001 ...): the module reads the parts as one
    // and reports them as a volume set. A plain .001 is whatever its content is.
    {".LZH.001", F::Lzh, nullptr, {}, &S::Lzh_Opt, kOtherName, {}, {}, kSplitPattern},
    {".ZIP.001", F::Zip, nullptr, {}, &S::Zip_Opt, kOtherName, {}, {}, kSplitPattern},
    {".7Z.001", F::SevenZip, nullptr, {}, &S::SevenZip_Opt, kOtherName, {}, {}, kSplitPattern},
    {".RAR.001", F::Rar, nullptr, {}, &S::Rar_Opt, kOtherName, {}, {}, kSplitPattern},
    {".001", F::Lzh, nullptr, {}, &S::Lzh_Opt, kProbed | kOtherName},
    {".001", F::Zip, nullptr, {}, &S::Zip_Opt, kProbed | kOtherName},
    {".001", F::SevenZip, nullptr, {}, &S::SevenZip_Opt, kProbed | kOtherName},
};

// The four of the LZH and ZIP families, 7z inside and around them, and the
// compressed tar kinds of today inside a .ZIP or .7Z (".TAR.XZ.ZIP").
constexpr DoubleKind kDoubles[] = {
    {".LZH", ".LZH"},     {".LZH", ".ZIP"},      {".ZIP", ".LZH"},      {".ZIP", ".ZIP"},
    {".LZH", ".7Z"},      {".ZIP", ".7Z"},       {".7Z", ".LZH"},       {".7Z", ".ZIP"},
    {".7Z", ".7Z"},       {".TAR.XZ", ".ZIP"},   {".TAR.ZST", ".ZIP"},  {".TAR.LZ", ".ZIP"},
    {".TAR.LZMA", ".ZIP"}, {".TAR.XZ", ".7Z"},   {".TAR.ZST", ".7Z"},   {".TAR.LZ", ".7Z"},
    {".TAR.LZMA", ".7Z"},
};

// The extensions of several parts, spelled out once: a kind's own (".TAR.GZ")
// and a double kind's inner and outer one together (".TAR.XZ.ZIP").
struct Compound {
  char text[16] = {};
  qsizetype size = 0;
  bool isDouble = false;
};

constexpr Compound Join(const char* inner, const char* outer, bool isDouble) {
  Compound c;
  for (const char* part : {inner, outer})
    for (; *part; ++part) c.text[c.size++] = *part;
  c.isDouble = isDouble;
  return c;
}

constexpr int Dots(const char* text) {
  int n = 0;
  for (; *text; ++text) n += *text == '.';
  return n;
}

constexpr int CompoundCount() {
  int n = static_cast<int>(std::size(kDoubles));
  for (const ArchiveKind& kind : kKinds) n += Dots(kind.extension) == 2;
  return n;
}

constexpr std::array<Compound, CompoundCount()> MakeCompounds() {
  std::array<Compound, CompoundCount()> out{};
  size_t n = 0;
  for (const ArchiveKind& kind : kKinds)
    if (Dots(kind.extension) == 2) out[n++] = Join(kind.extension, "", false);
  for (const DoubleKind& d : kDoubles) out[n++] = Join(d.inner, d.outer, true);
  return out;
}
constexpr auto kCompounds = MakeCompounds();

constexpr qsizetype LongestCompound() {
  qsizetype longest = 0;
  for (const Compound& c : kCompounds) longest = std::max(longest, c.size);
  return longest;
}
static_assert(LongestCompound() < static_cast<qsizetype>(sizeof(Compound::text)), "room for every extension");

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
  for (const ArchiveKind& kind : kKinds)
    if ((kind.flags & kProbed) && !kFamilies[static_cast<int>(kind.family)].checkMessage) return false;
  for (const DoubleKind& d : kDoubles) {
    if (KindIndex(d.inner) < 0 || KindIndex(d.outer) < 0) return false;
    const FamilyRow& inner = kFamilies[static_cast<int>(kKinds[KindIndex(d.inner)].family)];
    const FamilyRow& outer = kFamilies[static_cast<int>(kKinds[KindIndex(d.outer)].family)];
    if (!inner.innerPassMessage || !outer.outerPassMessage) return false;
  }
  return true;
}
static_assert(TablesAgree(), "families in KindFamily order, probed kinds with a check line, double kinds made of "
                             "kinds whose families have pass lines");

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

qsizetype CompoundExtensionLength(QStringView name, bool twoPart, bool doubles) {
  // Each has two dots at least: most names are done with here (the path
  // helpers run for every file a pane lists).
  const qsizetype lastDot = name.lastIndexOf(u'.');
  if (lastDot <= 0 || name.lastIndexOf(u'.', lastDot - 1) < 0) return 0;
  // The end of the name in capitals, one character longer than the longest extension.
  const QString end = name.right(LongestCompound() + 1).toString().toUpper();
  qsizetype longest = 0;
  for (const Compound& c : kCompounds) {
    if ((c.isDouble ? !doubles : !twoPart) || c.size <= longest || c.size >= name.size()) continue;
    if (end.endsWith(QLatin1String(c.text, c.size))) longest = c.size;
  }
  return longest;
}
