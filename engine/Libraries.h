// The archiver libraries of this run: which are present, their versions, and
// the library objects to call. Filled once at start-up by Dll_Check and read
// by the engine, the source file pane, the options dialog and the about box.
#pragma once

#include <array>
#include <initializer_list>
#include <memory>

#include "engine/ArchiverLibrary.h"

class Libraries {
 public:
  Libraries();
  ~Libraries();
  Libraries(const Libraries&) = delete;
  Libraries& operator=(const Libraries&) = delete;

  bool present(LibraryId id) const { return m_entries[Index(id)].library != nullptr; }
  // The version number as the library reported it, low 16 bits (version x 100).
  int version(LibraryId id) const { return m_entries[Index(id)].version; }
  // The library to call, or null when it is absent (an absent one is never called).
  ArchiverLibrary* library(LibraryId id) const { return m_entries[Index(id)].library.get(); }

  // Makes a library present with its version (Dll_Check, and tests with fakes).
  void set(LibraryId id, std::unique_ptr<ArchiverLibrary> library);
  void clear();

 private:
  struct Entry {
    std::unique_ptr<ArchiverLibrary> library;
    int version = 0;
  };
  static int Index(LibraryId id) { return static_cast<int>(id); }
  std::array<Entry, kLibraryCount> m_entries;
};

// Looks in SystemFolderPath for the archiver modules, loads the present ones and
// reads their versions. BZ2LIB.DLL counts only when TAR32.DLL is present. Any
// failure leaves them all absent.
void Dll_Check(Libraries& libraries);
