// What every window test builds first: an application context over a settings
// store in a fresh temporary folder, with the default settings, no archiver
// library and no other window loaded.
#pragma once

#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsStore.h"
#include "ui/AppContext.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

struct WindowContext {
  TempFolder storeFolder;
  SettingsStore store{storeFolder.path()};
  Libraries libraries;
  AppContext context{store, libraries};
  WindowContext() { context.settings = DefaultSettings(); }
};

}  // namespace testing_support
