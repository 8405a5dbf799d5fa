// `cmake --install` of this build folder into a temporary prefix: every file of
// the program lands where the desktop and the program look for it, and the
// installed program finds the modules installed with it.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>

#include <memory>

#include "tests/support/TestSupport.h"

namespace {

using testing_support::TempFolder;

const char* const kModules[] = {"UNLHA32.DLL", "UNZIP32.DLL", "UNARJ32J.DLL", "ISH32.DLL",     "CAB32.DLL",
                                "TAR32.DLL",   "UNRAR32.DLL", "BZ2LIB.DLL",   "SEVENZIP32.DLL"};

class InstallTree : public testing::Test {
 protected:
  // One install per test process; each test only reads it.
  static void SetUpTestSuite() {
    s_prefix = std::make_unique<TempFolder>();
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(RUKASU2_CMAKE_COMMAND, {"--install", RUKASU2_BINARY_DIR, "--prefix", s_prefix->path()});
    s_installed = cmake.waitForFinished(120000) && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
    s_log = cmake.readAll();
  }
  static void TearDownTestSuite() { s_prefix.reset(); }
  void SetUp() override { ASSERT_TRUE(s_installed) << s_log.constData(); }

  static QString Installed(const QString& relative) { return s_prefix->file(relative); }

  static std::unique_ptr<TempFolder> s_prefix;
  static bool s_installed;
  static QByteArray s_log;
};

std::unique_ptr<TempFolder> InstallTree::s_prefix;
bool InstallTree::s_installed = false;
QByteArray InstallTree::s_log;

// Runs `program` without RUKASU2_SYSTEM_DIR, so that it looks from its own folder.
QByteArray RunFromOwnFolder(const QString& program, const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("RUKASU2_SYSTEM_DIR");
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return {};
  return process.readAllStandardOutput();
}

TEST_F(InstallTree, HoldsEveryFileOfTheProgram) {
  QStringList expected = {"bin/rukasu2", "share/applications/org.example.Rukasu2.desktop",
                          "share/icons/hicolor/scalable/apps/rukasu2.svg", "share/doc/rukasu2/guide/index.html",
                          "share/man/man1/rukasu2.1.gz", "share/man/ja/man1/rukasu2.1.gz",
                          "share/kio/servicemenus/org.example.Rukasu2.extract.desktop",
                          "share/nautilus-python/extensions/rukasu2.py",
                          "share/metainfo/org.example.Rukasu2.metainfo.xml"};
  for (const char* module : kModules) expected << QStringLiteral("lib/rukasu2/archivers/") + module;
  for (const QString& relative : expected) {
    const QFileInfo info(Installed(relative));
    EXPECT_TRUE(info.isFile() && info.size() > 0) << relative.toStdString();
  }
  EXPECT_TRUE(QFileInfo(Installed("bin/rukasu2")).isExecutable());
}

TEST_F(InstallTree, IconsHaveTheSizeTheirFolderNames) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString relative = QStringLiteral("share/icons/hicolor/%1x%1/apps/rukasu2.png").arg(size);
    QImageReader reader(Installed(relative));
    EXPECT_EQ(reader.size(), QSize(size, size)) << relative.toStdString();
  }
}

TEST_F(InstallTree, TheInstalledProgramFindsTheInstalledModules) {
  const QString output = QString::fromUtf8(RunFromOwnFolder(Installed("bin/rukasu2"), {"--version"}));
  const QString folder = Installed("lib/rukasu2/archivers");
  for (const char* module : kModules) {
    QString line;
    for (const QString& l : output.split(u'\n'))
      if (l.startsWith(QString::fromLatin1(module) + u' ')) line = l;
    EXPECT_TRUE(line.contains("Ver.") && line.endsWith(folder + u'/' + module)) << output.toStdString();
  }
}

}  // namespace
