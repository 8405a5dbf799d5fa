// File names and entry-point prefixes of the archiver libraries.
#include "engine/ArchiverLibrary.h"

namespace {

struct LibraryName {
  const char* fileName;
  const char* prefix;
};

constexpr LibraryName kNames[kLibraryCount] = {
    {"UNLHA32.DLL", "Unlha"}, {"UNZIP32.DLL", "UnZip"}, {"UNARJ32J.DLL", "Unarj"}, {"ISH32.DLL", "Ish"},
    {"CAB32.DLL", "Cab"},     {"TAR32.DLL", "Tar"},     {"UNRAR32.DLL", "Unrar"},  {"BZ2LIB.DLL", "BZ2"},
    {"SEVENZIP32.DLL", "SevenZip"},
};

}  // namespace

QString LibraryFileName(LibraryId id) { return QString::fromLatin1(kNames[static_cast<int>(id)].fileName); }
const char* LibraryPrefix(LibraryId id) { return kNames[static_cast<int>(id)].prefix; }
