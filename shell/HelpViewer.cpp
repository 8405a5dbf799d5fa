// See HelpViewer.h.
#include "shell/HelpViewer.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>

void ShowHelp(QWidget* owner) {
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
