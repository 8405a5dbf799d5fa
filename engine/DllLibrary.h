// An archiver library loaded from its module file: the entry points are looked
// up by their names and called through their types, both from
// archivers/common/ModuleInterface.h (Unlha, UnlhaCheckArchive ...; IshEx
// without the window argument; BZ2LIB.DLL only BZ2GetVersion).
#pragma once

#include <memory>

#include "engine/ArchiverLibrary.h"

class DynamicLibrary;

class DllLibrary : public ArchiverLibrary {
 public:
  // Loads the module; check isUsable() afterwards.
  DllLibrary(LibraryId id, const QString& path);
  ~DllLibrary() override;

  // True when the module loaded and has its version entry point (and, for
  // every library but BZ2LIB.DLL, its command, probe and busy entry points).
  bool isUsable() const;
  const QString& errorText() const { return m_error; }

  int32_t command(const QByteArray& command, char* report, uint32_t reportSize) override;
  int32_t checkArchive(const QByteArray& path, int32_t mode) override;
  int32_t getRunning() override;
  int32_t getVersion() override;
  void setProgress(RkProgressFn fn, void* context) override;
  bool takesPasswords() const override { return m_passwords != nullptr; }
  void setPasswords(const char* const* list, int32_t count) override;

 private:
  LibraryId m_id;
  std::unique_ptr<DynamicLibrary> m_library;
  QString m_error;
  RkCommandFn m_command = nullptr;
  RkIshCommandFn m_ishCommand = nullptr;
  RkCheckArchiveFn m_check = nullptr;
  RkGetRunningFn m_running = nullptr;
  RkGetVersionFn m_version = nullptr;
  RkSetProgressFn m_progress = nullptr;
  RkSetPasswordsFn m_passwords = nullptr;
};
