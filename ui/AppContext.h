// The process-wide state that the windows share: the settings record and its
// store, the archiver libraries, the default folders, the automatic-run flag,
// and the windows themselves. The program makes one in main() and hands it to
// every window; tests make their own.
#pragma once

#include <QString>

#include "settings/Settings.h"

class SettingsStore;
class Libraries;
class MainWindowOps;
class FolderPaneOps;
class SourceFileOps;
class TargetListOps;
class ResultLogOps;
class ExtractedFoldersOps;
class CommonWindowOps;
class MenuMenteOps;

// The default source and destination folders and whether each is in force;
// loaded and saved by the folder panes, edited by the default folders dialog.
struct DefaultFolders {
  QString Dir_In;
  bool Dir_In_Yuko = true;
  QString Dir_Out;
  bool Dir_Out_Yuko = true;
};

// Null while a window is not loaded.
struct AppWindows {
  MainWindowOps* main = nullptr;
  FolderPaneOps* inDir = nullptr;
  SourceFileOps* inFile = nullptr;
  TargetListOps* file = nullptr;
  FolderPaneOps* outDir = nullptr;
  ResultLogOps* status = nullptr;
  ExtractedFoldersOps* outFile = nullptr;
  CommonWindowOps* about = nullptr;
  CommonWindowOps* defaults = nullptr;
  CommonWindowOps* option = nullptr;
  MenuMenteOps* menuMente = nullptr;
};

struct AppContext {
  AppContext(SettingsStore& s, Libraries& l) : store(s), libraries(l) {}

  Settings settings;
  SettingsStore& store;
  Libraries& libraries;
  DefaultFolders defaults;
  bool AutoRunning = false;  // true only during the automatic run: windows skip placement, fonts, captions, tips
  AppWindows windows;
};
