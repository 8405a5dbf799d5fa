// What the dialog tests share beyond the window test context: archiver
// libraries made present on demand, and showing a dialog modally while a test
// acts on it.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "engine/Libraries.h"
#include "ui/DialogBase.h"
#include "tests/engine/FakeLibrary.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowContext.h"

namespace testing_support {

// DialogBase's tests know the window test context by this name.
using DialogContext = WindowContext;

// Makes exactly these libraries present. When every one of them is built, the
// real modules are copied into a folder of their own and found by Dll_Check
// there, as the program finds them; otherwise (and for BZ2LIB.DLL without
// TAR32.DLL, which Dll_Check never takes) stand-ins answer the version.
inline void PresentOnly(Libraries& libraries, const std::vector<LibraryId>& ids) {
  libraries.clear();
  auto wanted = [&ids](LibraryId id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
  bool built = !wanted(LibraryId::Bz2) || wanted(LibraryId::Tar);
  for (LibraryId id : ids)
    built = built && QFile::exists(QStringLiteral(RUKASU2_ARCHIVER_BUILD_DIR "/") + LibraryFileName(id));
  if (!built) {
    int version = 100;
    for (LibraryId id : ids) libraries.set(id, std::make_unique<FakeLibrary>(rkarc::kFirstFailure, version += 7));
    return;
  }
  TempFolder system;
  for (LibraryId id : ids)
    QFile::copy(QStringLiteral(RUKASU2_ARCHIVER_BUILD_DIR "/") + LibraryFileName(id), system.file(LibraryFileName(id)));
  const QByteArray before = qgetenv("RUKASU2_SYSTEM_DIR");
  const bool wasSet = qEnvironmentVariableIsSet("RUKASU2_SYSTEM_DIR");
  qputenv("RUKASU2_SYSTEM_DIR", system.path().toLocal8Bit());
  Dll_Check(libraries);
  if (wasSet)
    qputenv("RUKASU2_SYSTEM_DIR", before);
  else
    qunsetenv("RUKASU2_SYSTEM_DIR");
  for (int i = 0; i < kLibraryCount; ++i)
    EXPECT_EQ(libraries.present(LibraryId(i)), wanted(LibraryId(i))) << LibraryFileName(LibraryId(i)).toStdString();
}

// Shows the dialog modally (through `show` when given, else showModal) and
// runs `act` once it is up; a dialog that `act` left open is cancelled.
inline void WhileShown(DialogBase& dialog, const std::function<void()>& act, const std::function<bool()>& show = {}) {
  QTimer::singleShot(0, &dialog, [&dialog, act] {
    act();
    if (dialog.isVisible()) dialog.reject();
  });
  EXPECT_TRUE(show ? show() : dialog.showModal());
}

}  // namespace testing_support
