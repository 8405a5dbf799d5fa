// Shared test helpers; see TestSupport.h.
#include "tests/support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testing_support {

TempFolder::TempFolder() {
  QTemporaryDir dir(QDir::tempPath() + "/rukasu2-test-XXXXXX");
  dir.setAutoRemove(false);
  m_path = dir.path();
}

TempFolder::~TempFolder() {
  if (m_path.isEmpty()) return;
  // Tests may leave read-only folders behind; make them writable first.
  QDirIterator it(m_path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) QFile::setPermissions(it.next(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QDir(m_path).removeRecursively();
}

QString TempFolder::file(const QString& relative) const { return m_path + "/" + relative; }

QString TempFolder::write(const QString& relative, const QByteArray& content) const {
  const QString full = file(relative);
  QDir().mkpath(QFileInfo(full).path());
  QFile f(full);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size()) {
    ADD_FAILURE() << "cannot write " << full.toStdString();
  }
  return full;
}

QString TempFolder::mkdir(const QString& relative) const {
  const QString full = file(relative);
  QDir().mkpath(full);
  return full;
}

QString DataDir() { return QStringLiteral(RUKASU2_SOURCE_DIR "/tests/data"); }

QString Sample(const QString& relative) {
  const QString path = DataDir() + "/" + relative;
  if (!QFileInfo::exists(path)) ADD_FAILURE() << "fixture missing: tests/data/" << relative.toStdString();
  return path;
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QByteArray Sha256Hex(const QByteArray& data) {
  return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

QStringList Tree(const QString& root) {
  QStringList out;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  const QDir base(root);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info = it.fileInfo();
    QString rel = base.relativeFilePath(path);
    if (info.isDir() && !info.isSymLink()) rel += "/";
    out << rel;
  }
  out.sort();
  return out;
}

int Run(const QString& program, const QStringList& arguments, const QString& workingFolder,
        QByteArray* output) {
  QProcess p;
  if (!workingFolder.isEmpty()) p.setWorkingDirectory(workingFolder);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, arguments);
  if (!p.waitForStarted(10000)) return -1;
  p.closeWriteChannel();
  p.waitForFinished(300000);
  if (output) *output = p.readAll();
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool HaveProgram(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

}  // namespace testing_support
