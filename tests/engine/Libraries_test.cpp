// The library check: which archiver modules lie in the system folder, their
// versions, BZ2LIB.DLL only beside TAR32.DLL, and a failed check.
#include <gtest/gtest.h>

#include <QFile>

#include "engine/Libraries.h"
#include "tests/engine/FakeLibrary.h"
#include "tests/support/TestSupport.h"

using testing_support::TempFolder;

namespace {

const LibraryId kAll[] = {LibraryId::Unlha, LibraryId::UnZip, LibraryId::Unarj, LibraryId::Ish,
                          LibraryId::Cab,   LibraryId::Tar,   LibraryId::Unrar, LibraryId::Bz2};

// A system folder holding copies of the named built modules.
QString SystemFolder(const TempFolder& tmp, const QStringList& modules) {
  const QString folder = tmp.mkdir("system");
  for (const QString& m : modules)
    EXPECT_TRUE(QFile::copy(QStringLiteral(RUKASU2_ARCHIVER_BUILD_DIR) + "/" + m, folder + "/" + m)) << m.toStdString();
  return folder;
}

QString Present(const Libraries& libraries) {
  QStringList names;
  for (LibraryId id : kAll)
    if (libraries.present(id)) names << LibraryFileName(id);
  return names.join(' ');
}

void Check(Libraries& libraries, const QString& folder) {
  qputenv("RUKASU2_SYSTEM_DIR", folder.toUtf8());
  Dll_Check(libraries);
  qunsetenv("RUKASU2_SYSTEM_DIR");
}

TEST(DllCheck, FindsTheModulesInTheSystemFolder) {
  TempFolder tmp;
  Libraries libraries;
  Check(libraries, SystemFolder(tmp, {"UNLHA32.DLL", "UNZIP32.DLL", "UNARJ32J.DLL", "ISH32.DLL", "CAB32.DLL",
                                      "TAR32.DLL", "UNRAR32.DLL", "BZ2LIB.DLL"}));
  EXPECT_EQ(Present(libraries),
            "UNLHA32.DLL UNZIP32.DLL UNARJ32J.DLL ISH32.DLL CAB32.DLL TAR32.DLL UNRAR32.DLL BZ2LIB.DLL");
  for (LibraryId id : kAll) EXPECT_EQ(libraries.version(id), 100) << LibraryFileName(id).toStdString();
}

TEST(DllCheck, Bzip2CompanionCountsOnlyBesideTar) {
  TempFolder tmp;
  Libraries libraries;
  Check(libraries, SystemFolder(tmp, {"UNZIP32.DLL", "BZ2LIB.DLL"}));
  EXPECT_EQ(Present(libraries), "UNZIP32.DLL");
  EXPECT_EQ(libraries.library(LibraryId::Bz2), nullptr);

  TempFolder other;
  Check(libraries, SystemFolder(other, {"TAR32.DLL", "BZ2LIB.DLL"}));
  EXPECT_EQ(Present(libraries), "TAR32.DLL BZ2LIB.DLL");
}

TEST(DllCheck, OnlyPlainFilesCountAndABrokenModuleFailsTheWholeCheck) {
  TempFolder tmp;
  Libraries libraries;
  const QString folder = SystemFolder(tmp, {"UNLHA32.DLL", "TAR32.DLL"});
  tmp.mkdir("system/UNZIP32.DLL");  // a folder of that name is no library
  Check(libraries, folder);
  EXPECT_EQ(Present(libraries), "UNLHA32.DLL TAR32.DLL");

  tmp.write("system/CAB32.DLL", "not a shared object");
  Check(libraries, folder);
  EXPECT_EQ(Present(libraries), "");

  TempFolder empty;
  Check(libraries, empty.path() + "/no-such-folder");
  EXPECT_EQ(Present(libraries), "");
}

TEST(DllCheck, KeepsTheLowSixteenBitsOfTheVersion) {
  Libraries libraries;
  libraries.set(LibraryId::Cab, std::make_unique<FakeLibrary>(0, 0x12345));
  EXPECT_EQ(libraries.version(LibraryId::Cab), 0x2345);
  EXPECT_TRUE(libraries.present(LibraryId::Cab));
  EXPECT_FALSE(libraries.present(LibraryId::Tar));
}

}  // namespace
