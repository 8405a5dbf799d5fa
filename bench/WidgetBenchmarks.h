// The start every widget benchmark shares: the offscreen platform unless
// QT_QPA_PLATFORM names another, a throw-away settings folder, an application
// object, then Google Benchmark's own arguments and runs; and the program
// context the panes under test are made in.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

#include <QApplication>
#include <QTemporaryDir>

#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsStore.h"
#include "ui/AppContext.h"

// The default settings over a throw-away settings store.
struct BenchContext {
  QTemporaryDir folder;
  SettingsStore store{folder.path()};
  Libraries libraries;
  AppContext context{store, libraries};

  BenchContext() { context.settings = DefaultSettings(); }
};

// `prepare` runs once the application exists and before the first run: what
// it makes (sample folders ...) is not timed.
inline int RunWidgetBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {}) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir config;
  setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (prepare) prepare();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
