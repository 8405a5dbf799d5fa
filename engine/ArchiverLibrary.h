// One archiver library as the engine sees it: the command, probe, busy test and
// version operations. The real ones are modules loaded by file name
// (DllLibrary); tests put a fake behind the same interface for what a real
// module cannot show (busy, a full disk).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "archivers/common/ModuleInterface.h"  // RkProgressFn

enum class LibraryId { Unlha, UnZip, Unarj, Ish, Cab, Tar, Unrar, Bz2, SevenZip };
inline constexpr int kLibraryCount = 9;

// "UNLHA32.DLL", "UNZIP32.DLL" ...
QString LibraryFileName(LibraryId id);
// The entry-point prefix: "Unlha", "UnZip", "Unarj", "Ish", "Cab", "Tar", "Unrar", "BZ2", "SevenZip".
const char* LibraryPrefix(LibraryId id);

class ArchiverLibrary {
 public:
  virtual ~ArchiverLibrary() = default;
  // Runs one command (UTF-8); the report lands in `report` (NUL-terminated).
  virtual int32_t command(const QByteArray& command, char* report, uint32_t reportSize) = 0;
  // 1 when the library can handle the file.
  virtual int32_t checkArchive(const QByteArray& path, int32_t mode) = 0;
  // Non-zero while the library is in use.
  virtual int32_t getRunning() = 0;
  virtual int32_t getVersion() = 0;
  // Progress of later command calls; libraries without it ignore it.
  virtual void setProgress(RkProgressFn fn, void* context) = 0;
  // Whether the library finds an archive's password among those it is handed
  // (<Prefix>SetPasswords, archivers/common/Passwords.h).
  virtual bool takesPasswords() const { return false; }
  // The passwords for its next commands; a null list clears them.
  virtual void setPasswords(const char* const* /*list*/, int32_t /*count*/) {}
};
