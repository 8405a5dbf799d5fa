// See EngineFixture.h.
#include "tests/engine/EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "text/MessageCatalogue.h"

using testing_support::Run;

QString P(int productMessage) { return MessageCatalogue::Product(productMessage); }

EngineFixture::EngineFixture() {
  qputenv("RUKASU2_SYSTEM_DIR", QByteArray(RUKASU2_ARCHIVER_BUILD_DIR));
  Dll_Check(libraries);
  source = tmp.mkdir("source");
  dest = tmp.mkdir("dest") + "/";
  settings.TmpDir = tmp.mkdir("tmpdir") + "/";
}

QString EngineFixture::scratch(const QStringList& files) {
  const QString dir = tmp.mkdir(QString("scratch%1").arg(m_scratchCount++));
  for (const QString& f : files) tmp.write(QDir(tmp.path()).relativeFilePath(dir) + "/" + f, ("content of " + f).toUtf8());
  return dir;
}

QString EngineFixture::makeZip(const QString& archive, const QStringList& files) {
  const QString out = source + "/" + archive;
  QDir().mkpath(QFileInfo(out).path());
  EXPECT_EQ(Run("zip", QStringList{"-q", "-r", out} + files, scratch(files)), 0);
  return out;
}

QString EngineFixture::makeTarGz(const QString& archive, const QStringList& files) {
  const QString out = source + "/" + archive;
  QDir().mkpath(QFileInfo(out).path());
  EXPECT_EQ(Run("tar", QStringList{"-czf", out} + files, scratch(files)), 0);
  return out;
}

QString EngineFixture::makeLzh(const QString& archive, const QStringList& files) {
  const QString out = source + "/" + archive;
  QDir().mkpath(QFileInfo(out).path());
  EXPECT_EQ(Run("jlha", QStringList{"aq", out} + files, scratch(files)), 0);
  return out;
}

QString EngineFixture::makeGz(const QString& archive, const QByteArray& content) {
  const QString dir = tmp.mkdir(QString("scratch%1").arg(m_scratchCount++));
  const QString plain = QFileInfo(archive).completeBaseName();
  tmp.write(QDir(tmp.path()).relativeFilePath(dir) + "/" + plain, content);
  EXPECT_EQ(Run("gzip", {"-n", plain}, dir), 0);
  const QString out = source + "/" + archive;
  QFile::rename(dir + "/" + plain + ".gz", out);
  return out;
}

int16_t EngineFixture::extract(const QString& arc, int16_t mode, ExtractedVolumes* volumes) {
  listener = RecordingListener();
  return basRukasu(settings, libraries, listener).Archive_Extract(arc, dest, mode, volumes);
}
