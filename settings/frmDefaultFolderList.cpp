// See frmDefaultFolderList.h.
#include "settings/frmDefaultFolderList.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "engine/PathHelpers.h"

namespace {

constexpr int kIndentPerLevel = 2;  // blanks before an entry per folder level

QStringList Ancestors(const QString& path) {
  QStringList chain{QStringLiteral("/")};
  QString at;
  for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
    at += u'/' + part;
    chain << at;
  }
  return chain;
}

QString LastComponent(const QString& path) {
  return path == QStringLiteral("/") ? path : path.mid(path.lastIndexOf(u'/') + 1);
}

}  // namespace

frmDefaultFolderList::frmDefaultFolderList(QWidget* parent) : QListWidget(parent) {
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { open(row(item) - ancestorCount()); });
}

bool frmDefaultFolderList::setPath(const QString& folder) {
  if (!folder.startsWith(u'/')) return false;
  const QString clean = QDir::cleanPath(folder);
  if (!Dir_Check(clean)) return false;
  if (clean == m_path) return true;
  m_path = clean;
  rebuild();
  emit pathChanged();
  return true;
}

void frmDefaultFolderList::refresh() {
  const int highlighted = ListIndex();
  rebuild();
  if (!m_path.isEmpty()) setListIndex(highlighted);
}

int frmDefaultFolderList::ancestorCount() const { return m_path.isEmpty() ? 0 : int(Ancestors(m_path).size()); }

void frmDefaultFolderList::rebuild() {
  clear();
  m_entries.clear();
  if (m_path.isEmpty()) return;
  const QIcon open = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
  const QStringList chain = Ancestors(m_path);
  for (int depth = 0; depth < chain.size(); ++depth) {
    addItem(new QListWidgetItem(open, QString(depth * kIndentPerLevel, u' ') + LastComponent(chain[depth])));
    m_entries << chain[depth];
  }
  const QString prefix = m_path == QStringLiteral("/") ? m_path : m_path + u'/';
  const QString indent(int(chain.size()) * kIndentPerLevel, u' ');
  const QDir dir(m_path);
  for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
    addItem(new QListWidgetItem(closed, indent + name));
    m_entries << prefix + name;
  }
  setCurrentRow(int(chain.size()) - 1);
}

int frmDefaultFolderList::ListIndex() const { return currentRow() - ancestorCount(); }

void frmDefaultFolderList::setListIndex(int index) {
  const int at = index + ancestorCount();
  if (at >= 0 && at < count()) setCurrentRow(at);
}

QString frmDefaultFolderList::List(int index) const {
  const int at = index + ancestorCount();
  return (at >= 0 && at < m_entries.size()) ? m_entries[at] : QString();
}

bool frmDefaultFolderList::open(int index) {
  const QString folder = List(index);
  return !folder.isEmpty() && setPath(folder);
}
