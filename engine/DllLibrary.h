// An archiver library loaded from its module file: the entry points are looked
// up by their names (Unlha, UnlhaCheckArchive, UnlhaGetRunning,
// UnlhaGetVersion, the optional UnlhaSetProgress and UnlhaSetPasswords; IshEx without the window
// argument; BZ2LIB.DLL only BZ2GetVersion).
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
  using CommandFn = int32_t (*)(void*, const char*, char*, uint32_t);
  using IshCommandFn = int32_t (*)(const char*, char*, uint32_t);
  using CheckFn = int32_t (*)(const char*, int32_t);
  using IntFn = int32_t (*)();
  using ProgressFn = void (*)(RkProgressFn, void*);
  using PasswordsFn = int32_t (*)(const char* const*, int32_t);

  LibraryId m_id;
  std::unique_ptr<DynamicLibrary> m_library;
  QString m_error;
  CommandFn m_command = nullptr;
  IshCommandFn m_ishCommand = nullptr;
  CheckFn m_check = nullptr;
  IntFn m_running = nullptr;
  IntFn m_version = nullptr;
  ProgressFn m_progress = nullptr;
  PasswordsFn m_passwords = nullptr;
};
