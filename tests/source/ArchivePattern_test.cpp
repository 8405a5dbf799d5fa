// The source file pattern and the extension test, from the archive kind
// switches and the libraries present.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "source/ArchivePattern.h"
#include "tests/source/SourceFixture.h"

namespace {

struct KindRow {
  const char* name;
  std::function<void(Settings&)> change;
  std::vector<LibraryId> absent;
  const char* pattern;
};

class PatternRows : public testing::TestWithParam<KindRow> {};

TEST_P(PatternRows, BuildsThePattern) {
  SourceContext c;
  c.allLibrariesPresent();
  for (LibraryId id : GetParam().absent) c.libraries.set(id, nullptr);
  if (GetParam().change) GetParam().change(c.context.settings);
  EXPECT_EQ(ArchivePattern(c.context.settings, c.libraries).toStdString(), GetParam().pattern);
}

void AllKindsOff(Settings& s) { s.Lzh = s.Zip = s.Ish = s.Arj = s.Cab = s.Rar = s.SevenZip = s.Tar = false; }

const KindRow kPatternRows[] = {
    {"Defaults",
     nullptr,
     {},
     "*.LZH;*.ZIP;*.ISH;*.ARJ;*.CAB;*.RAR;*.7Z;*.TAR;*.TAR.GZ;*.TGZ;*.TAR.Z;*.TAZ;*.GZ;*.Z;*.BZ2;*.BZIP2;*.TAR.XZ;*.TXZ;"
     "*.XZ;*.TAR.ZST;*.TZST;*.ZST;*.TAR.LZ;*.LZ;*.TAR.LZMA;*.TLZ;*.LZMA;*.TBZ2;*.TBZ;*.TB2;*.BZ;*.GTAR;*.001"},
    {"AllKindsOff", AllKindsOff, {}, "abcdzyxw.___"},
    {"NoLibraryAtAll",
     nullptr,
     {LibraryId::Unlha, LibraryId::UnZip, LibraryId::Unarj, LibraryId::Ish, LibraryId::Cab, LibraryId::Tar,
      LibraryId::Unrar, LibraryId::Bz2, LibraryId::SevenZip},
     "abcdzyxw.___"},
    {"OneBz2PatternServesTarBz2",
     [](Settings& s) {
       AllKindsOff(s);
       s.Tar = true;
       s.Tar_Tar = s.Tar_Targz = s.Tar_Tgz = s.Tar_Tarz = s.Tar_Taz = s.Tar_Gz = s.Tar_Z = false;
       s.Tar_Bz2 = s.Tar_Bzip2 = false;
       s.Tar_TarXz = s.Tar_Txz = s.Tar_Xz = s.Tar_TarZst = s.Tar_Tzst = s.Tar_Zst = false;
       s.Tar_TarLz = s.Tar_Lz = s.Tar_TarLzma = s.Tar_Tlz = s.Tar_Lzma = false;
       s.Tar_TarBz2 = true;
     },
     {},
     "*.BZ2;*.TBZ2;*.TBZ;*.TB2;*.BZ"},
    {"NoBz2Library",
     [](Settings& s) { s.Lzh = s.Zip = s.Ish = s.Arj = s.Cab = s.Rar = s.SevenZip = false; },
     {LibraryId::Bz2},
     "*.TAR;*.TAR.GZ;*.TGZ;*.TAR.Z;*.TAZ;*.GZ;*.Z;*.TAR.XZ;*.TXZ;*.XZ;*.TAR.ZST;*.TZST;*.ZST;*.TAR.LZ;*.LZ;*.TAR.LZMA;"
     "*.TLZ;*.LZMA;*.GTAR"},
    {"ExeOnceForSeveralKinds",
     [](Settings& s) {
       AllKindsOff(s);
       s.Lzh = s.Zip = true;
       s.Lzh_Exe = s.Zip_Exe = true;
     },
     {},
     "*.LZH;*.ZIP;*.EXE;*.001"},
    {"ExeSwitchWithItsKindOff",
     [](Settings& s) {
       AllKindsOff(s);
       s.Zip = true;
       s.Lzh_Exe = true;
     },
     {},
     "*.ZIP;*.001"},
    {"ExeSwitchWithoutItsLibrary",
     [](Settings& s) {
       AllKindsOff(s);
       s.Lzh = s.Zip = true;
       s.Lzh_Exe = true;
     },
     {LibraryId::Unlha},
     "*.ZIP;*.001"},
    {"ExtraLzhAndIshNamesLast",
     [](Settings& s) {
       AllKindsOff(s);
       s.Lzh = s.Ish = true;
       s.Lzh_X = s.Lzh_Lha = s.Ish_Log = s.Lzh_Exe = true;
     },
     {},
     "*.LZH;*.ISH;*.EXE;*.X;*.LHA;*.LOG;*.001"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, PatternRows, testing::ValuesIn(kPatternRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct NameRow {
  const char* name;
  std::function<void(Settings&)> change;
  std::vector<LibraryId> absent;
  const char* file;
  bool archive;
};

class ExpCheckRows : public testing::TestWithParam<NameRow> {};

TEST_P(ExpCheckRows, DecidesByTheExtension) {
  SourceContext c;
  c.allLibrariesPresent();
  for (LibraryId id : GetParam().absent) c.libraries.set(id, nullptr);
  if (GetParam().change) GetParam().change(c.context.settings);
  EXPECT_EQ(IsArchiveName(QString::fromUtf8(GetParam().file), c.context.settings, c.libraries), GetParam().archive);
}

void TarGzOnly(Settings& s) {
  s.Tar_Gz = false;
  s.Tar_Targz = true;
}
void GzOnly(Settings& s) {
  s.Tar_Gz = true;
  s.Tar_Targz = false;
}
void ZipOnlyWithDouble(Settings& s) {
  AllKindsOff(s);
  s.Zip = true;
  s.Double = true;
}
void ZipOnlyNoDouble(Settings& s) {
  AllKindsOff(s);
  s.Zip = true;
  s.Double = false;
}

const NameRow kNameRows[] = {
    {"LowerCaseLzh", nullptr, {}, "/a/data.lzh", true},
    {"TarGzUnderTarGzSwitch", TarGzOnly, {}, "/a/x.tar.gz", true},
    {"TarGzNotUnderGzSwitch", GzOnly, {}, "/a/x.TAR.GZ", false},
    {"GzUnderGzSwitch", GzOnly, {}, "/a/x.gz", true},
    {"GzNotUnderTarGzSwitch", TarGzOnly, {}, "/a/x.gz", false},
    {"LzhZipWithDoubleAndLzhOff", ZipOnlyWithDouble, {}, "/a/x.lzh.zip", true},
    {"LzhZipWithoutDouble", ZipOnlyNoDouble, {}, "/a/x.lzh.zip", true},
    {"LzhLzhWithDoubleAndLzhOff", ZipOnlyWithDouble, {}, "/a/x.lzh.lzh", false},
    {"ZipZipWithDouble", ZipOnlyWithDouble, {}, "/a/x.zip.zip", true},
    {"ZipLzhWithoutZipFallsBackToLzh", [](Settings& s) { s.Double = true; }, {LibraryId::UnZip}, "/a/x.zip.lzh", true},
    {"ExeWithLzhOff",
     [](Settings& s) {
       AllKindsOff(s);
       s.Zip = true;
       s.Lzh_Exe = true;
     },
     {},
     "/a/setup.EXE",
     false},
    {"ExeWithLzhOn", [](Settings& s) { s.Lzh_Exe = true; }, {}, "/a/setup.exe", true},
    {"Bz2WithoutItsLibrary", nullptr, {LibraryId::Bz2}, "/a/x.bz2", false},
    {"TarBz2WithoutItsLibrary", [](Settings& s) { s.Tar_TarBz2 = true; }, {LibraryId::Bz2}, "/a/x.tar.bz2", false},
    {"TarBz2WithItsSwitch", [](Settings& s) { s.Tar_TarBz2 = true; }, {}, "/a/x.tar.bz2", true},
    {"TarBz2WithTheBz2SwitchOnly",
     [](Settings& s) {
       s.Tar_TarBz2 = false;
       s.Tar_Bz2 = true;
     },
     {},
     "/a/x.tar.bz2",
     false},
    {"NoDot", nullptr, {}, "/a/LZH", false},
    {"DotInTheFolderName", nullptr, {}, "/a.lzh/file", false},
    {"UnknownExtension", nullptr, {}, "/a/x.rpm", false},
    {"SevenZip", nullptr, {}, "/a/x.7Z", true},
    {"SevenZipWithoutItsLibrary", nullptr, {LibraryId::SevenZip}, "/a/x.7z", false},
    {"TarZstIsNotAZst",
     [](Settings& s) {
       s.Tar_TarZst = false;
       s.Tar_Zst = true;
     },
     {},
     "/a/x.tar.zst",
     false},
    {"TarXzZipWithDoubleAndZipOff",
     [](Settings& s) {
       s.Zip = false;
       s.Double = true;
     },
     {},
     "/a/x.tar.xz.zip",
     false},
    {"LhaNeedsItsSwitch", [](Settings& s) { s.Lzh_Lha = false; }, {}, "/a/x.lha", false},
    {"TarBz2UnderAnotherName", nullptr, {}, "/a/x.TBZ2", true},
    {"OtherNamesFollowTheirKindsSwitch", [](Settings& s) { s.Tar_TarBz2 = false; }, {}, "/a/x.tar.bz", false},
};

INSTANTIATE_TEST_SUITE_P(Names, ExpCheckRows, testing::ValuesIn(kNameRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
