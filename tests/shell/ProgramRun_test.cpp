// The program as a terminal or a script runs it: the switches, --help and
// --version, and the automatic run without a display, with its standard
// output and exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <functional>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <fstream>
#include <iterator>

#include "shell/ProgramOptions.h"
#include "text/MessageCatalogue.h"
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

// Runs the built program without a display, with settings in `config`;
// `wrapper` (strace, sh -c ...) goes before the program's path.
Result RunProgram(const QStringList& arguments, const QString& config, const QString& folder = {},
                  const QStringList& wrapper = {}, const QString& lang = "C.UTF-8") {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  env.insert("XDG_CONFIG_HOME", config);
  env.insert("LANG", lang);
  p.setProcessEnvironment(env);
  if (!folder.isEmpty()) p.setWorkingDirectory(folder);
  const QString program = QStringLiteral(RUKASU2_BINARY_DIR) + "/rukasu2";
  if (wrapper.isEmpty())
    p.start(program, arguments);
  else
    p.start(wrapper.first(), wrapper.mid(1) + QStringList{program} + arguments);
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

  o = ProgramOptions::Parse({"--auto", "--here", "--notify", "a.zip"});
  EXPECT_TRUE(o.error.isEmpty() && o.here && o.notify && o.dest.isEmpty());

  EXPECT_FALSE(ProgramOptions::Parse({"--auto", "--mode", "fast"}).error.isEmpty());
  EXPECT_FALSE(ProgramOptions::Parse({"--auto", "--here", "--dest", "/out", "a.zip"}).error.isEmpty());
  for (const char* alone : {"--dest", "--here", "--notify"})  // only with --auto
    EXPECT_FALSE(ProgramOptions::Parse({alone, "/out", "a.zip"}).error.isEmpty()) << alone;
  EXPECT_FALSE(ProgramOptions::Parse({"--colour"}).error.isEmpty());
  EXPECT_EQ(ProgramOptions::Parse({"--auto", "--password-file", "p.txt"}).passwordFile, "p.txt");
  EXPECT_FALSE(ProgramOptions::Parse({"--auto", "--password-file="}).error.isEmpty());
}

TEST(ProgramRun, HelpAndVersion) {
  TempFolder tmp;
  const Result help = RunProgram({"--help"}, tmp.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.contains("--auto") && help.out.contains("--mode") && help.out.contains("--dest"));
  EXPECT_TRUE(help.out.contains("Options:\n")) << help.out.toStdString();  // English outside a Japanese locale
  const Result japanese = RunProgram({"-h"}, tmp.path(), {}, {}, "ja_JP.UTF-8");
  EXPECT_EQ(japanese.status, 0);
  EXPECT_TRUE(japanese.out.contains(QString::fromUtf8("オプション:\n"))) << japanese.out.toStdString();
  const Result version = RunProgram({"--version"}, tmp.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.startsWith("Rukasu2 1.02\n"));
  for (const char* module : {"UNLHA32.DLL", "UNZIP32.DLL", "TAR32.DLL", "BZ2LIB.DLL", "SEVENZIP32.DLL"})
    EXPECT_TRUE(version.out.contains(QString(module) + QString(15 - int(strlen(module)), ' ') + " Ver.1.00")) << module;
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
  // No name at all, as xargs hands over an empty list: the run ends at once.
  const Result none = RunProgram({out}, config, {}, {"sh", "-c", "xargs -0 \"$0\" --auto --dest \"$1\" </dev/null"});
  EXPECT_EQ(none.status, 123);  // xargs' own status for a command that ended with 1 to 125
  EXPECT_TRUE(none.err.contains(QString::fromUtf8("解凍できる圧縮ファイルがありません"))) << none.err.toStdString();
}

// Named explicitly, an archive is known by its contents where its extension
// says nothing (or names a kind that is off: .lha by default), and under the
// other usual names of its type; what is not extracted is named in the log
// and makes the status 1.
TEST(ProgramRun, AutomaticRunKnowsArchivesByTheirContents) {
  TempFolder tmp;
  QFile::rename(MakeZip(tmp, "z.zip", "one.txt", "first"), tmp.file("src/download"));
  tmp.write("scratch/two.txt", "second");
  ASSERT_EQ(testing_support::Run("jlha", {"aq", tmp.file("src/l.lha"), "two.txt"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("tar", {"cjf", tmp.file("src/t.tbz2"), "two.txt"}, tmp.file("scratch")), 0);
  ASSERT_EQ(testing_support::Run("sh", {"-c", "gzip -c two.txt >\"$0\"", tmp.file("src/blob.bin")}, tmp.file("scratch")), 0);
  tmp.write("src/notes.txt", "text");
  const QString out = tmp.mkdir("out");
  const Result r = RunProgram({"--auto", "--mode", "okavi", "--dest", out, "download", "notes.txt", "l.lha", "t.tbz2",
                               "blob.bin", "missing.zip"},
                              tmp.mkdir("config"), tmp.file("src"));
  EXPECT_EQ(r.status, kExitSomeFailed) << r.out.toStdString();
  EXPECT_EQ(ReadFile(out + "/DOWNLOAD/one.txt"), "first") << r.out.toStdString();
  EXPECT_EQ(ReadFile(out + "/L/two.txt"), "second");
  EXPECT_EQ(ReadFile(out + "/T/two.txt"), "second");
  EXPECT_EQ(ReadFile(out + "/BLOB/blob"), "second");
  for (const char* skipped : {"/notes.txt ]\n", "/missing.zip ]\n"})
    EXPECT_TRUE(r.out.contains(QString(skipped) + MessageCatalogue::Product(ProductMsg::LogNotAnArchive))) << skipped;
}

// Encrypted ZIPs and 7z in the automatic run: traditional and AES archives open
// with a password of --password-file, one that none opens fails with its
// reason and writes nothing, the run never asks; no password shows in the
// output, the settings folder or the command line of any process of the run.
TEST(ProgramRun, PasswordFileOpensEncryptedArchivesAndNeverShowsAPassword) {
  RK_REQUIRE_PROGRAM("7zz");
  RK_REQUIRE_PROGRAM("strace");
  TempFolder tmp;
  tmp.write("scratch/s.txt", "secret member");
  QDir().mkpath(tmp.file("src"));
  const QStringList made[] = {{"zip", "-q", "-P", "Kagi-1", "zc.zip"},
                              {"7zz", "a", "-tzip", "-mem=AES256", "-pKagi-2", "aes.zip"},
                              {"zip", "-q", "-P", "Unknown-3", "other.zip"},
                              {"7zz", "a", "-mhe=on", "-pKagi-2", "he.7z"}};
  for (QStringList command : made) {
    command.last() = tmp.file("src/" + command.last());
    EXPECT_EQ(testing_support::Run(command.first(), command.mid(1) + QStringList{"s.txt"}, tmp.file("scratch")), 0);
  }
  tmp.write("passwords.txt", "Wrong-0\nKagi-1\r\nKagi-2\n");
  const QString out = tmp.mkdir("out"), config = tmp.mkdir("config"), trace = tmp.file("trace");
  const Result r = RunProgram({"--auto", "--dest", out, "--password-file", tmp.file("passwords.txt"), "zc.zip", "aes.zip",
                               "other.zip", "he.7z"},
                              config, tmp.file("src"), {"strace", "-f", "-qq", "-e", "trace=execve", "-s", "4096", "-o", trace});
  EXPECT_EQ(r.status, kExitSomeFailed) << r.out.toStdString();
  EXPECT_EQ(ReadFile(out + "/ZC/s.txt"), "secret member");
  EXPECT_EQ(ReadFile(out + "/AES/s.txt"), "secret member");
  EXPECT_EQ(ReadFile(out + "/HE/s.txt"), "secret member");
  EXPECT_FALSE(QFileInfo::exists(out + "/OTHER"));
  EXPECT_TRUE(r.out.contains(QString::fromUtf8("解凍できませんでした\n\u3000\u3000パスワードが違います\n"))) << r.out.toStdString();
  EXPECT_TRUE(QDir(config).isEmpty());
  const QByteArray seen = r.out.toUtf8() + r.err.toUtf8() + ReadFile(trace);
  for (const char* password : {"Wrong-0", "Kagi-1", "Kagi-2"}) EXPECT_FALSE(seen.contains(password)) << password;
  EXPECT_EQ(RunProgram({"--auto", "--password-file", tmp.file("missing.txt"), "zc.zip"}, config, tmp.file("src")).status,
            kExitUsage);
}

// Names as the shell hands them over, bytes that are not UTF-8 included: each
// archive extracts into a folder of its own bytes, and the log shows its name
// as the panes do.
TEST(ProgramRun, AutomaticRunOnNamesThatAreNotUtf8) {
  TempFolder tmp;
  const QString zip = MakeZip(tmp, "made.zip", "one.txt", "first"), lzh = tmp.file("src/made.lzh");
  tmp.write("scratch/two.txt", "second");
  ASSERT_EQ(testing_support::Run("jlha", {"aq", lzh, "two.txt"}, tmp.file("scratch")), 0);
  const QByteArray src = tmp.file("src/").toUtf8();
  ASSERT_EQ(::rename(zip.toUtf8().constData(), (src + "a\xFF.zip").constData()), 0);
  ASSERT_EQ(::rename(lzh.toUtf8().constData(), (src + "\x93\xFA\x96\x7B.lzh").constData()), 0);
  MakeZip(tmp, "new\nline.zip", "three.txt", "third");  // a line break shows escaped: one log line
  const QString out = tmp.mkdir("out");
  const Result r = RunProgram({out}, tmp.mkdir("config"), tmp.file("src"),
                              {"sh", "-c", "exec \"$0\" --auto --mode okavi --dest \"$1\" -- *.lzh *.zip"});
  EXPECT_EQ(r.status, kExitAllExtracted) << r.out.toStdString() << r.err.toStdString();
  const auto read = [&](const char* relative) {  // QFile would not find names that are not UTF-8
    std::ifstream in((out.toStdString() + relative).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(read("/\x93\xFA\x96\x7B/two.txt"), "second");
  EXPECT_EQ(read("/A\xFF/one.txt"), "first");
  EXPECT_TRUE(r.out.contains(QString::fromUtf8("/日本.lzh［SJIS］ ]\n"))) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains(QString::fromUtf8("/a\\xFF.zip［UTF-8 以外］ ]\n"))) << r.out.toStdString();
  EXPECT_TRUE(r.out.contains("/new\\x0Aline.zip ]\n")) << r.out.toStdString();
  EXPECT_EQ(read("/NEW\nLINE/three.txt"), "third");
}

// Each argument is one name, as the shell split it: blanks and quotes stay in
// it, it may begin like a switch, and after "--" even like a switch of Qt's.
TEST(ProgramRun, EachArgumentIsOneName) {
  TempFolder tmp;
  const QString out = tmp.mkdir("de\"st");
  MakeZip(tmp, "say \"hi\" now.zip", "one.txt", "first");
  MakeZip(tmp, "-lead.zip", "two.txt", "second");
  MakeZip(tmp, "-style=x.zip", "three.txt", "third");
  const Result r = RunProgram({"--auto", "--mode", "normal", "--dest", out, "say \"hi\" now.zip", "-lead.zip", "--",
                               "-style=x.zip"},
                              tmp.mkdir("config"), tmp.file("src"));
  EXPECT_EQ(r.status, kExitAllExtracted) << r.out.toStdString() << r.err.toStdString();
  EXPECT_EQ(ReadFile(out + "/one.txt"), "first");
  EXPECT_EQ(ReadFile(out + "/two.txt"), "second");
  EXPECT_EQ(ReadFile(out + "/three.txt"), "third");
  EXPECT_TRUE(r.out.contains("say \"hi\" now.zip ]")) << r.out.toStdString();
}

// Settings keys of the current location, as the user's settings file holds them.
void StoreKeys(const QString& config, const QStringList& lines) {
  QDir().mkpath(config + "/Velmont Soft");
  QFile file(config + "/Velmont Soft/Rukasu2.ini");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(("[General]\n" + lines.join("\n") + "\n").toUtf8());
}

// With its current folder removed and no destination named, the automatic
// run has no destination: every archive is refused, nothing goes to the root.
TEST(ProgramRun, AutomaticRunWithoutAnyDestinationExtractsNothing) {
  TempFolder tmp;
  const QString zip = MakeZip(tmp, "RootBound.zip", "r.txt", "x");
  const QString gone = tmp.mkdir("gone");
  const Result r = RunProgram({"--auto", zip, zip}, tmp.mkdir("config"), {},
                              {"sh", "-c", "cd \"$1\" && rmdir \"$1\" && shift && exec \"$@\"", "sh", gone});
  EXPECT_EQ(r.status, kExitSomeFailed) << r.out.toStdString();
  EXPECT_EQ(r.out.count(QString::fromUtf8("解凍先が無いか異常です")), 1);  // one entry: the same name twice
  EXPECT_FALSE(QFileInfo::exists("/ROOTBOUND"));
}

// More names than the list takes: the notice goes to standard error, since
// nobody could answer its message box, and the run ends (with the list
// emptied, as a full list always leaves it after the command line).
TEST(ProgramRun, AutomaticRunNeverWaitsForAPerson) {
  TempFolder tmp;
  QStringList names;
  for (int i = 0; i <= 1000; ++i) names << tmp.write(QString("src/n%1.zip").arg(i), "not a zip");
  const Result r = RunProgram(QStringList{"--auto", "--dest", tmp.mkdir("out")} + names, tmp.mkdir("config"));
  EXPECT_EQ(r.status, kExitSomeFailed);
  EXPECT_TRUE(r.err.contains(QString::fromUtf8("最大１０００までです"))) << r.err.toStdString();
}

// A run killed midway leaves nothing of ours that outlives the next run: a
// move killed while it copies leaves no file at all (the copy has no name
// yet); an overwrite killed as it starts its file leaves the temporary file
// beside the kept original, and the next extraction into that folder removes it.
TEST(ProgramRun, KilledRunsLeaveNothingBehindTheNextRun) {
  RK_REQUIRE_PROGRAM("strace");
  TempFolder tmp;
  const QString config = tmp.mkdir("config"), out = tmp.mkdir("out");
  StoreKeys(config, {"File=2", "TarTargz_Opt=-xfo --overwrite"});
  QByteArray big(3 << 20, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 24);
  const QString zip = MakeZip(tmp, "moved.zip", "m.txt", "moved"), tgz = tmp.file("src/big.tar.gz");
  tmp.write("scratch/big.bin", big);
  ASSERT_EQ(testing_support::Run("tar", {"-czf", tgz, "big.bin"}, tmp.file("scratch")), 0);
  const auto killedAt = [&](const QString& call, const QString& when, const QString& archive) {
    const QString inject = call + ":signal=SIGKILL" + when;
    return RunProgram({"--auto", "--mode", "normal", "--dest", out, archive}, config, {},
                      {"strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + call, "-e", "inject=" + inject});
  };
  EXPECT_EQ(killedAt("fsync", "", zip).status, -1);
  EXPECT_TRUE(QFileInfo::exists(zip));
  EXPECT_EQ(testing_support::Tree(out), QStringList({"m.txt"}));

  tmp.write("out/big.bin", "mine");
  EXPECT_EQ(killedAt("flock", "", tgz).status, -1);  // the temporary file is made and locked, then the kill
  const QStringList left = testing_support::Tree(out);
  ASSERT_EQ(left.size(), 3) << left.join(", ").toStdString();
  EXPECT_TRUE(left[0].startsWith(".rukasu2-") && left[0].endsWith(".part"));
  EXPECT_EQ(ReadFile(out + "/big.bin"), "mine");
  EXPECT_EQ(RunProgram({"--auto", "--mode", "normal", "--dest", out, tgz}, config).status, kExitAllExtracted);
  EXPECT_EQ(testing_support::Tree(out), QStringList({"big.bin", "big.tar.gz", "m.txt"}));
  EXPECT_TRUE(ReadFile(out + "/big.bin") == big);
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

// Writes the three volumes of a RAR set into src/ as `stem` (bytes) + ".partN.rar", but volume `missing`.
void RarSet(const TempFolder& tmp, const QByteArray& stem, int missing = 0) {
  for (int n = 1; n <= 3; ++n) {
    const QByteArray name = tmp.file("src/").toUtf8() + stem + ".part" + QByteArray::number(n) + ".rar";
    const QString sample = QString("rar/volumes/test_rar_multivolume_single_file.part%1.rar").arg(n);
    if (n != missing) std::ofstream(name.constData(), std::ios::binary) << ReadFile(testing_support::Sample(sample)).toStdString();
  }
}

// The automatic run on real files never reports more than it did, and never
// removes a file it cannot prove its own or wholly used.
struct TrustCase {
  const char* label;
  QStringList keys;                                        // stored settings
  std::function<QStringList(const TempFolder&)> prepare;  // makes the files, gives the arguments
  int status;
  std::function<void(const TempFolder&, const Result&)> check;
  QStringList wrapper = {};
};

void PrintTo(const TrustCase& c, std::ostream* os) { *os << c.label; }

class AutomaticRunTrust : public testing::TestWithParam<TrustCase> {};

TEST_P(AutomaticRunTrust, KeepsWhatItCannotProve) {
  const TrustCase& c = GetParam();
  TempFolder tmp;
  const QString config = tmp.mkdir("config"), src = tmp.mkdir("src");
  if (!c.keys.isEmpty()) StoreKeys(config, c.keys);
  const Result r = RunProgram(c.prepare(tmp), config, src, c.wrapper);
  EXPECT_EQ(r.status, c.status) << r.out.toStdString() << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("QRegularExpression")) << r.err.toStdString();
  c.check(tmp, r);
}

const QStringList kNormal = {"--auto", "--mode", "normal", "--dest"};

const TrustCase kTrustCases[] = {
    {"MoveOfASetIntoItsOwnFolder", {"File=2"},
     [](const TempFolder& tmp) { RarSet(tmp, "set"); return kNormal + QStringList{tmp.file("src"), "set.part1.rar"}; },
     kExitAllExtracted,
     [](const TempFolder& tmp, const Result&) {
       EXPECT_EQ(testing_support::Tree(tmp.file("src")),
                 QStringList({"LibarchiveAddingTest.html", "set.part1.rar", "set.part2.rar", "set.part3.rar"}));
     }},
    {"DeleteGoesToTheTrash", {"File=3"},
     [](const TempFolder& tmp) { MakeZip(tmp, "trashed one.zip", "t.txt", "x"); return kNormal + QStringList{tmp.mkdir("out"), "trashed one.zip"}; },
     kExitAllExtracted,
     [](const TempFolder& tmp, const Result&) {
       const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/";
       EXPECT_TRUE(!QFileInfo::exists(tmp.file("src/trashed one.zip")) && QFileInfo::exists(trash + "files/trashed one.zip"));
       EXPECT_TRUE(ReadFile(trash + "info/trashed one.zip.trashinfo").startsWith("[Trash Info]\nPath=" + tmp.file("src/trashed%20one.zip").toUtf8()));
     }},
    {"PartFilesOfOthersStay", {},
     [](const TempFolder& tmp) {
       tmp.write("out/.rukasu2-0123456789abcdef.part", "the user's");
       MakeZip(tmp, "first.zip", ".rukasu2-00000000000000aa.part", "a member");
       MakeZip(tmp, "second.zip", "second.txt", "next");
       return kNormal + QStringList{tmp.file("out"), "first.zip", "second.zip"};
     },
     kExitAllExtracted,
     [](const TempFolder& tmp, const Result&) {
       EXPECT_EQ(ReadFile(tmp.file("out/.rukasu2-0123456789abcdef.part")), "the user's");
       EXPECT_EQ(ReadFile(tmp.file("out/.rukasu2-00000000000000aa.part")), "a member");
     }},
    {"QuotedBzip2KeepsItsName", {"TarBz2_Opt=-Gxf --overwrite"},
     [](const TempFolder& tmp) {
       tmp.write("src/sin\"gle.txt", "unpacked");
       EXPECT_EQ(testing_support::Run("bzip2", {"sin\"gle.txt"}, tmp.file("src")), 0);
       tmp.write("out/sin_gle.txt", "unrelated");
       return kNormal + QStringList{tmp.file("out"), "sin\"gle.txt.bz2"};
     },
     kExitAllExtracted,
     [](const TempFolder& tmp, const Result&) {
       EXPECT_EQ(ReadFile(tmp.file("out/sin_gle.txt")) + ReadFile(tmp.file("out/sin\"gle.txt")), "unrelatedunpacked");
     }},
    {"ReasonNamesAQuotedNameThatIsNotUtf8", {},
     [](const TempFolder& tmp) { RarSet(tmp, "s\"\xFF", 2); return QStringList{tmp.mkdir("out")}; },
     kExitSomeFailed,
     [](const TempFolder&, const Result& r) { EXPECT_TRUE(r.out.contains(": s\"")) << r.out.toStdString(); },
     {"sh", "-c", "exec \"$0\" --auto --mode normal --dest \"$1\" -- *.part1.rar"}},
    {"SettingsFileThatIsAFifo", {},
     [](const TempFolder& tmp) {
       QDir().mkpath(tmp.file("config/Velmont Soft"));
       EXPECT_EQ(::mkfifo(tmp.file("config/Velmont Soft/Rukasu2.ini").toUtf8().constData(), 0600), 0);
       MakeZip(tmp, "fifo.zip", "f.txt", "read");
       return kNormal + QStringList{tmp.mkdir("out"), "fifo.zip"};
     },
     kExitAllExtracted, [](const TempFolder& tmp, const Result&) { EXPECT_EQ(ReadFile(tmp.file("out/f.txt")), "read"); }},
};

INSTANTIATE_TEST_SUITE_P(ProgramRun, AutomaticRunTrust, testing::ValuesIn(kTrustCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
