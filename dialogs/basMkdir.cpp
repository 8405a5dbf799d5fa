// See basMkdir.h.
#include "dialogs/basMkdir.h"

#include <QDir>
#include <QInputDialog>

#include "engine/PathHelpers.h"
#include "ui/AppContext.h"
#include "ui/MessageBox.h"
#include "ui/WindowInterfaces.h"
#include "text/MessageCatalogue.h"

namespace {

using M = SharedMsg;

bool Refuse(QWidget* owner, SharedMsg message) {
  MessageBox::Notice(owner, MessageCatalogue::Shared(message));
  return false;
}

// Blanks only: other white space is part of the name.
QString TrimBlanks(const QString& text) {
  qsizetype from = 0, to = text.size();
  while (from < to && text[from] == u' ') ++from;
  while (to > from && text[to - 1] == u' ') --to;
  return text.mid(from, to - from);
}

// The name the folder would get: blanks trimmed, one trailing "/" dropped.
QString FolderNameOf(const QString& answer) {
  QString name = TrimBlanks(answer);
  if (name.endsWith(u'/')) name.chop(1);
  return name;
}

}  // namespace

bool CheckFolderName(QWidget* owner, const QString& name) {
  // A single "/" at the very end is allowed; anywhere else it would make a path.
  const qsizetype slash = name.indexOf(u'/');
  if (slash >= 0 && slash != name.size() - 1) return Refuse(owner, M::MkdirNoSlash);
  if (name.contains(u'*')) return Refuse(owner, M::MkdirNoAsterisk);
  if (name.contains(u'?')) return Refuse(owner, M::MkdirNoQuestionMark);
  if (name.startsWith(u'.') || name.endsWith(u'.')) return Refuse(owner, M::MkdirDotAtEnds);
  // Blanks around "." or ".." pass the checks above, but the file system would
  // take the trimmed name as the folder itself or its parent; a NUL would cut it.
  const QString folder = FolderNameOf(name);
  if (folder == u"." || folder == u".." || name.contains(QChar(u'\0'))) return Refuse(owner, M::MkdirAbnormal);
  return true;
}

QString AskFolderName(QWidget* owner, const QString& parent) {
  bool accepted = false;
  const QString answer =
      QInputDialog::getText(owner, MessageCatalogue::Shared(M::MkdirTitle),
                            MessageCatalogue::Shared(M::MkdirPrompt) + u'\n' + parent, QLineEdit::Normal, QString(),
                            &accepted);
  if (!accepted || answer.isEmpty()) return {};
  return CheckFolderName(owner, answer) ? answer : QString();
}

QString NewFolderPath(const QString& parent, const QString& name) {
  if (!parent.startsWith(u'/')) return {};
  return parent.endsWith(u'/') ? parent + name : parent + u'/' + name;
}

QString MakeFolder(QWidget* owner, const QString& parent) {
  const QString answer = AskFolderName(owner, parent);
  if (TrimBlanks(answer).isEmpty()) return {};
  const QString path = NewFolderPath(parent, FolderNameOf(answer));
  // One level only: the parent must exist, and an existing folder is not "made".
  if (path.isEmpty() || !QDir().mkdir(path)) {
    MessageBox::Notice(owner, MessageCatalogue::Shared(M::MkdirNotMade));
    return {};
  }
  if (!Dir_Check(path)) {
    MessageBox::Notice(owner, MessageCatalogue::Shared(M::MkdirCannotEnter));
    return {};
  }
  return path;
}

void MakeFolderCommand(AppContext& context) {
  FolderPaneOps* outDir = context.windows.outDir;
  if (!outDir) return;
  QWidget* owner = context.windows.main ? context.windows.main->dialogParent() : nullptr;
  const QString path = MakeFolder(owner, outDir->DirName());
  if (path.isEmpty()) return;
  outDir->setDirName(path);
  if (FolderPaneOps* inDir = context.windows.inDir) inDir->RefreshForm();
}
