// The program as a terminal or a script runs it: the switches, --help and
// --version, and the automatic run without a display, with its standard
// output and exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstring>

#include "shell/ProgramOptions.h"
#include "tests/support/MountNamespace.h"
#include "tests/support/TestSupport.h"

using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

struct Result {
  int status = -1;
  QString out;
  QString err;
};

// Runs the built program without a display, with settings in `config`.
Result RunProgram(const QStringList& arguments, const QString& config, const QString& folder = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  env.insert("XDG_CONFIG_HOME", config);
  p.setProcessEnvironment(env);
  if (!folder.isEmpty()) p.setWorkingDirectory(folder);
  p.start(QStringLiteral(RUKASU2_BINARY_DIR) + "/rukasu2", arguments);
  if (!p.waitForFinished(120000)) p.kill();
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

QString MakeZip(const TempFolder& tmp, const QString& name, const QString& member, const QByteArray& content) {
  tmp.write("scratch/" + member, content);
  const QString zip = tmp.file("src/" + name);
  QDir().mkpath(tmp.file("src"));
  EXPECT_EQ(testing_support::Run("zip", {"-q", zip, member}, tmp.file("scratch")), 0);
  QFile::remove(tmp.file("scratch/" + member));
  return zip;
}

TEST(ProgramOptions, SwitchesAndNames) {
  ProgramOptions o = ProgramOptions::Parse({"--auto", "--mode", "nodigits", "--dest=/out", "a.lzh", "/U"});
  EXPECT_TRUE(o.error.isEmpty());
  EXPECT_TRUE(o.autoRun);
  EXPECT_EQ(o.mode, std::optional<int16_t>(2));
  EXPECT_EQ(o.dest, "/out");
  EXPECT_EQ(o.names, QStringList({"a.lzh", "/U"}));

  o = ProgramOptions::Parse({"a b.zip", "/U"});  // plain names and /U reach start-up unchanged
  EXPECT_FALSE(o.autoRun);
  EXPECT_EQ(o.names, QStringList({"a b.zip", "/U"}));
  EXPECT_EQ(ProgramOptions::Parse({"--", "--auto"}).names, QStringList({"--auto"}));
  EXPECT_EQ(ProgramOptions::Parse({"--auto", "--mode=3"}).mode, std::optional<int16_t>(3));

  EXPECT_FALSE(ProgramOptions::Parse({"--auto", "--mode", "fast"}).error.isEmpty());
  EXPECT_FALSE(ProgramOptions::Parse({"--dest", "/out", "a.zip"}).error.isEmpty());  // only with --auto
  EXPECT_FALSE(ProgramOptions::Parse({"--colour"}).error.isEmpty());
}

TEST(ProgramRun, HelpAndVersion) {
  TempFolder tmp;
  const Result help = RunProgram({"--help"}, tmp.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("--auto") && help.out.contains("--mode") && help.out.contains("--dest"));
  const Result version = RunProgram({"--version"}, tmp.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.startsWith("Rukasu2 1.02\n"));
  for (const char* module : {"UNLHA32.DLL", "UNZIP32.DLL", "TAR32.DLL", "BZ2LIB.DLL"})
    EXPECT_TRUE(version.out.contains(QString(module) + QString(13 - int(strlen(module)), ' ') + " Ver.1.00")) << module;
  EXPECT_EQ(RunProgram({"--bogus"}, tmp.path()).status, kExitUsage);
  EXPECT_EQ(RunProgram({"--auto", "--dest", tmp.file("missing"), "x.zip"}, tmp.path()).status, kExitUsage);
}

TEST(ProgramRun, AutomaticRunWithoutADisplay) {
  TempFolder tmp;
  const QString config = tmp.mkdir("config");
  MakeZip(tmp, "Good1.zip", "one.txt", "first");
  MakeZip(tmp, "good2.zip", "two.txt", "second");
  const QString out = tmp.mkdir("out");
  const Result ok = RunProgram({"--auto", "--mode", "okavi", "--dest", out, "Good1.zip", "good2.zip"}, config, tmp.file("src"));
  EXPECT_EQ(ok.status, kExitAllExtracted) << ok.err.toStdString();
  EXPECT_EQ(ReadFile(out + "/GOOD1/one.txt"), "first");
  EXPECT_EQ(ReadFile(out + "/GOOD2/two.txt"), "second");
  const QStringList lines = ok.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 7);
  EXPECT_TRUE(lines[0].startsWith("[ ") && lines[0].endsWith("Good1.zip ]"));
  EXPECT_EQ(lines[6], QString::fromUtf8("全て終了しました"));
  EXPECT_TRUE(QDir(config).isEmpty()) << "an automatic run saves nothing";

  tmp.write("src/broken.zip", "not a zip");
  const Result failed = RunProgram({"--auto", "--mode", "normal", "--dest", out, "broken.zip"}, config, tmp.file("src"));
  EXPECT_EQ(failed.status, kExitSomeFailed);
  EXPECT_TRUE(failed.out.contains(QString::fromUtf8("解凍できませんでした\n\u3000\u3000ZIP書庫ではありません\n")));

  const Result nothing = RunProgram({"--auto", "notes.txt"}, config, tmp.file("src"));
  EXPECT_EQ(nothing.status, kExitSomeFailed);
  EXPECT_FALSE(nothing.err.isEmpty());
}

// A full disk stops the run: the status says so. The destination is a tiny
// file system mounted for this test only.
TEST(ProgramRun, StoppedRunHasItsOwnStatus) {
  if (!testing_support::InMountNamespace()) {
    TempFolder tmp;
    const QString big = MakeZip(tmp, "big.zip", "big.bin", QByteArray(3 << 20, 'x'));
    MakeZip(tmp, "after.zip", "after.txt", "never");
    const QString out = tmp.mkdir("out");
    testing_support::RunTestInMountNamespace("mount -t tmpfs -o size=1m tmpfs " + out,
                                             {"RUKASU2_TEST_SRC=" + tmp.file("src"), "RUKASU2_TEST_OUT=" + out,
                                              "RUKASU2_TEST_CONFIG=" + tmp.mkdir("config")});
    return;
  }
  const QString src = qEnvironmentVariable("RUKASU2_TEST_SRC"), out = qEnvironmentVariable("RUKASU2_TEST_OUT");
  const Result r = RunProgram({"--auto", "--dest", out, "big.zip", "after.zip"}, qEnvironmentVariable("RUKASU2_TEST_CONFIG"), src);
  EXPECT_EQ(r.status, kExitStopped) << r.out.toStdString();
  EXPECT_TRUE(r.out.endsWith(QString::fromUtf8("中断しました\n")));
  EXPECT_FALSE(r.out.contains("after.zip"));
}

}  // namespace
