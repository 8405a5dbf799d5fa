// Rukasu2: extracts many archive files in one run.
#include <QApplication>
#include <QMainWindow>

#include "platform/Locale.h"

int main(int argc, char** argv) {
  EnsureUtf8Locale();
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Rukasu2 for Win32"));
  window.show();
  return app.exec();
}
