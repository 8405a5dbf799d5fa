// Rukasu2: extracts many archive files in one run.
#include <QApplication>
#include <QDir>

#include "engine/Libraries.h"
#include "platform/Locale.h"
#include "settings/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/CommandLine.h"
#include "shell/ProgramIcon.h"
#include "shell/frmRukasu.h"

int main(int argc, char** argv) {
  EnsureUtf8Locale();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Rukasu2"));
  QApplication::setWindowIcon(ProgramIcon());

  SettingsStore store;
  Libraries libraries;
  AppContext context(store, libraries);
  frmRukasu window(context);
  const QString argumentText = ArgumentText(QApplication::arguments().mid(1), QDir::currentPath());
  int exitCode = 0;
  if (window.MDIForm_Load(argumentText, &exitCode) == frmRukasu::Start::EndProgram) return exitCode;
  window.show();
  return QApplication::exec();
}
