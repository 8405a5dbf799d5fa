// A stand-in for the installed program in the install test: copied into the
// installed bin/ folder, it prints the module folder it finds from there and
// the modules Dll_Check loads, one "NAME VERSION" or "NAME absent" per line.
#include <QCoreApplication>
#include <QTextStream>

#include "engine/Libraries.h"
#include "engine/PathHelpers.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  out << "folder " << SystemFolderPath() << '\n';
  Libraries libraries;
  Dll_Check(libraries);
  for (int i = 0; i < kLibraryCount; ++i) {
    const auto id = static_cast<LibraryId>(i);
    out << LibraryFileName(id) << ' ';
    if (libraries.present(id))
      out << libraries.version(id) << '\n';
    else
      out << "absent\n";
  }
  return 0;
}
