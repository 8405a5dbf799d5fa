// A whole program for the main window tests: a fresh settings store under its
// own XDG_CONFIG_HOME, the real archiver modules of the build, the main window
// with every pane and dialog, a source and a destination folder, archives
// made on the spot, and a stand-in library that holds an extraction open
// until the test lets it go.
#pragma once

#include <QSemaphore>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "engine/ArchiverLibrary.h"
#include "engine/Libraries.h"
#include "settings/SettingsStore.h"
#include "ui/AppContext.h"
#include "shell/frmRukasu.h"
#include "tests/settings/FreshConfig.h"

class QMdiSubWindow;
class QPushButton;

// Each command waits until the test releases it; meanwhile the test acts on
// the window. Only for runs on the worker thread.
class BlockingLibrary : public ArchiverLibrary {
 public:
  explicit BlockingLibrary(int32_t result = 0) : m_result(result) {}
  int32_t command(const QByteArray& command, char* report, uint32_t reportSize) override;
  int32_t checkArchive(const QByteArray&, int32_t) override { return 1; }
  int32_t getRunning() override { return 0; }
  int32_t getVersion() override { return 100; }
  void setProgress(RkProgressFn, void*) override {}

  // Runs `action` on the user-interface thread once a command has started,
  // then lets that command return. Call before starting the run.
  void whileBlocked(std::function<void()> action);
  std::atomic<int> finished{0};  // commands that returned

 private:
  int32_t m_result;
  QSemaphore m_entered, m_go;
};

class MainWindowWorld {
 public:
  MainWindowWorld();
  ~MainWindowWorld();
  MainWindowWorld(const MainWindowWorld&) = delete;
  MainWindowWorld& operator=(const MainWindowWorld&) = delete;

  // Keys of the current location, written before start-up ("Key=value" lines).
  void storeKeys(const QStringList& lines);
  QString storeFile() const { return config.ini(QStringLiteral("Velmont Soft")); }
  // Every file under the configuration folder with its content.
  QStringList configSnapshot() const;

  // Start-up with a new main window; exitCode as MDIForm_Load leaves it.
  frmRukasu::Start load(const QString& argumentText = {});
  // Shows the window (first activation) and points the destination pane at dest.
  void show();
  // Closes the window as its close box does and waits until it is gone.
  void close();

  QString makeZip(const QString& name);
  QString makeTarGz(const QString& name, const QByteArray& content = "tar member");
  QString makeLzh(const QString& name);
  // A file of the name holding no archive.
  QString makeBroken(const QString& name);
  // A file of the name whose content a stand-in library never reads.
  QString makeDummy(const QString& name);

  void setTargets(const QStringList& paths);
  QStringList targets() const;
  QList<int> selectedTargets() const;
  QStringList log() const;
  QStringList extractedFolders() const;
  QPushButton* button(const QString& name) const;
  QMdiSubWindow* subWindow(PaneOps* pane) const;
  QList<PaneOps*> panes() const;
  // Presses run button `index` with the mouse; returns when the run is over.
  void run(int index = 0);

  FreshConfig config;
  testing_support::TempFolder tmp;
  QString source;  // the archives
  QString dest;    // the destination, without a trailing "/"
  std::unique_ptr<SettingsStore> store;
  Libraries libraries;
  std::unique_ptr<AppContext> context;
  std::unique_ptr<frmRukasu> window;
  int exitCode = -1;

 private:
  QString scratch(const QString& member, const QByteArray& content);
  int m_scratchCount = 0;
  QByteArray m_systemDir;  // RUKASU2_SYSTEM_DIR before the test
  bool m_hadSystemDir;
};

// The heading line of an archive in the log.
QString Heading(const QString& archive);
// True while a thread of the extraction worker exists in this process.
bool ExtractionThreadAlive();
