// See MainWindowWorld.h.
#include "tests/shell/MainWindowWorld.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "engine/PathHelpers.h"
#include "results/mdiStatus.h"
#include "ui/WindowInterfaces.h"

using testing_support::Run;

int32_t BlockingLibrary::command(const QByteArray&, char* report, uint32_t reportSize) {
  if (reportSize > 0) report[0] = '\0';
  m_entered.release();
  m_go.acquire();
  ++finished;
  return m_result;
}

void BlockingLibrary::whileBlocked(std::function<void()> action) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [this, poll, action] {
    if (!m_entered.tryAcquire()) return;
    poll->stop();
    poll->deleteLater();
    action();
    m_go.release();
  });
  poll->start();
}

MainWindowWorld::MainWindowWorld()
    : m_systemDir(qgetenv("RUKASU2_SYSTEM_DIR")), m_hadSystemDir(qEnvironmentVariableIsSet("RUKASU2_SYSTEM_DIR")) {
  qputenv("RUKASU2_SYSTEM_DIR", QByteArray(RUKASU2_ARCHIVER_BUILD_DIR));
  source = tmp.mkdir("source");
  dest = tmp.mkdir("dest");
  store = std::make_unique<SettingsStore>();
}

MainWindowWorld::~MainWindowWorld() {
  if (window && window->isVisible()) close();
  window.reset();
  context.reset();
  if (m_hadSystemDir)
    qputenv("RUKASU2_SYSTEM_DIR", m_systemDir);
  else
    qunsetenv("RUKASU2_SYSTEM_DIR");
}

void MainWindowWorld::storeKeys(const QStringList& lines) {
  config.writeIni(QStringLiteral("Velmont Soft"), ("[General]\n" + lines.join(u'\n') + u'\n').toUtf8());
  store = std::make_unique<SettingsStore>();  // reads what is on disk now
}

QStringList MainWindowWorld::configSnapshot() const {
  QStringList files;
  QDirIterator it(config.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files << path + u'\n' + QString::fromUtf8(testing_support::ReadFile(path));
  }
  files.sort();
  return files;
}

frmRukasu::Start MainWindowWorld::load(const QString& argumentText) {
  window.reset();
  context = std::make_unique<AppContext>(*store, libraries);
  window = std::make_unique<frmRukasu>(*context);
  return window->MDIForm_Load(argumentText, &exitCode);
}

void MainWindowWorld::show() {
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  if (context->windows.outDir) context->windows.outDir->setDirName(dest);
}

void MainWindowWorld::close() {
  window->close();
  EXPECT_TRUE(QTest::qWaitFor([this] { return !window->isVisible(); }));
}

QString MainWindowWorld::scratch(const QString& member, const QByteArray& content) {
  const QString folder = QString("scratch%1").arg(m_scratchCount++);
  tmp.write(folder + u'/' + member, content);
  return tmp.file(folder);
}

QString MainWindowWorld::makeZip(const QString& name) {
  const QString out = source + u'/' + name;
  EXPECT_EQ(Run("zip", {"-q", "-r", out, "doc"}, scratch("doc/readme.txt", "zip member")), 0);
  return out;
}

QString MainWindowWorld::makeTarGz(const QString& name, const QByteArray& content) {
  const QString out = source + u'/' + name;
  EXPECT_EQ(Run("tar", {"-czf", out, "data.bin"}, scratch("data.bin", content)), 0);
  return out;
}

QString MainWindowWorld::makeLzh(const QString& name) {
  const QString out = source + u'/' + name;
  EXPECT_EQ(Run("jlha", {"aq", out, "lzh.txt"}, scratch("lzh.txt", "lzh member")), 0);
  return out;
}

QString MainWindowWorld::makeBroken(const QString& name) {
  return tmp.write("source/" + name, QByteArray(2000, 'x'));
}

QString MainWindowWorld::makeDummy(const QString& name) { return tmp.write("source/" + name, "stand-in"); }

void MainWindowWorld::setTargets(const QStringList& paths) {
  TargetListOps* list = context->windows.file;
  list->RefreshForm();
  for (const QString& path : paths) EXPECT_TRUE(list->ListInAdd(path));
  context->windows.main->BtnEnabledChange();
}

QStringList MainWindowWorld::targets() const {
  QStringList entries;
  for (int i = 0; i < context->windows.file->count(); ++i) entries << context->windows.file->entry(i);
  return entries;
}

QList<int> MainWindowWorld::selectedTargets() const {
  QList<int> selected;
  for (int i = 0; i < context->windows.file->count(); ++i)
    if (context->windows.file->isSelected(i)) selected << i;
  return selected;
}

QStringList MainWindowWorld::log() const { return dynamic_cast<mdiStatus&>(*context->windows.status).lines(); }

QStringList MainWindowWorld::extractedFolders() const {
  QStringList folders;
  auto* list = window->findChild<QListWidget*>(QStringLiteral("lstOutFile"));
  for (int row = 0; row < list->count(); ++row) folders << list->item(row)->text();
  return folders;
}

QPushButton* MainWindowWorld::button(const QString& name) const { return window->findChild<QPushButton*>(name); }

QMdiSubWindow* MainWindowWorld::subWindow(PaneOps* pane) const {
  return qobject_cast<QMdiSubWindow*>(pane->paneWidget()->parentWidget());
}

QList<PaneOps*> MainWindowWorld::panes() const {
  const AppWindows& w = context->windows;
  return {w.inDir, w.inFile, w.file, w.outDir, w.status, w.outFile};
}

void MainWindowWorld::run(int index) {
  QPushButton* b = button(QString("btnExe(%1)").arg(index));
  EXPECT_TRUE(b->isEnabled());
  QTest::mouseClick(b, Qt::LeftButton);
}

QString Heading(const QString& archive) { return "[ " + DispPath_Get(archive) + " ]"; }

bool ExtractionThreadAlive() {
  QDirIterator tasks("/proc/self/task", QDir::Dirs | QDir::NoDotAndDotDot);
  while (tasks.hasNext()) {
    QFile comm(tasks.next() + "/comm");
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "extraction") return true;
  }
  return false;
}
