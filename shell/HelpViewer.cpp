// See HelpViewer.h.
#include "shell/HelpViewer.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>

// The guide is a resource of a static library: without a reference to it the
// linker drops it and the window stays blank. Q_INIT_RESOURCE must stand
// outside every namespace, hence a static function.
static void RegisterGuide() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(help);
    return true;
  }();
  (void)registered;
}

void ShowHelp(QWidget* owner) {
  RegisterGuide();
  auto* dialog = new QDialog(owner);
  dialog->setObjectName(QStringLiteral("helpViewer"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Rukasu2 ヘルプ"));
  auto* browser = new QTextBrowser(dialog);
  browser->setOpenExternalLinks(true);
  browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  dialog->resize(720, 640);
  dialog->show();
}
