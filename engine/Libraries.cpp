// See Libraries.h.
#include "engine/Libraries.h"

#include <sys/stat.h>

#include "engine/DllLibrary.h"
#include "engine/PathHelpers.h"
#include "platform/FileName.h"

Libraries::Libraries() = default;
Libraries::~Libraries() = default;

void Libraries::set(LibraryId id, std::unique_ptr<ArchiverLibrary> library) {
  Entry& entry = m_entries[Index(id)];
  entry.version = library ? (library->getVersion() & 0xFFFF) : 0;
  entry.library = std::move(library);
}

void Libraries::clear() {
  for (Entry& entry : m_entries) {
    entry.library.reset();
    entry.version = 0;
  }
}

namespace {

bool IsRegularFile(const QString& path) {
  struct stat st {};
  return ::stat(FileNameBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// A module counts as present when a plain file of its name lies in the folder;
// it is then loaded, and a module that cannot be used is a failure of the check.
bool Load(Libraries& libraries, LibraryId id, const QString& folder) {
  const QString path = folder + u'/' + LibraryFileName(id);
  if (!IsRegularFile(path)) return true;
  auto library = std::make_unique<DllLibrary>(id, path);
  if (!library->isUsable()) {
    qWarning("Rukasu2: %s: %s", qPrintable(DisplayPath(path)), qPrintable(library->errorText()));
    return false;
  }
  libraries.set(id, std::move(library));
  return true;
}

}  // namespace

void Dll_Check(Libraries& libraries) {
  libraries.clear();
  const QString folder = SystemFolderPath();
  bool ok = true;
  for (LibraryId id : {LibraryId::Unlha, LibraryId::UnZip, LibraryId::Ish, LibraryId::Unarj, LibraryId::Tar,
                       LibraryId::Cab, LibraryId::Unrar, LibraryId::SevenZip})
    ok = ok && Load(libraries, id, folder);
  if (ok && libraries.present(LibraryId::Tar)) ok = Load(libraries, LibraryId::Bz2, folder);
  if (!ok) libraries.clear();
}
