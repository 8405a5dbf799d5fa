// What the source pane tests share: the window test context, with archiver
// libraries made present on demand and direct access to the settings keys.
#pragma once

#include <memory>

#include "tests/engine/FakeLibrary.h"
#include "tests/support/WindowContext.h"

struct SourceContext : testing_support::WindowContext {
  // Every archiver library present; none is called by these tests.
  void allLibrariesPresent() {
    for (int id = 0; id < kLibraryCount; ++id) libraries.set(LibraryId(id), std::make_unique<FakeLibrary>());
  }
  void setKey(const QString& key, const QString& value) { store.write("Velmont Soft", "Rukasu2", key, value); }
  QString key(const QString& name) {
    return store.read("Velmont Soft", "Rukasu2", name, "<absent>").value_or("<unreadable>");
  }
};
