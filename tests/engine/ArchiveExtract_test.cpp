// Extraction of one archive through the real archiver modules: output folders
// of the run modes, dispatch on the extension, probes, double archives, the
// after-extraction actions, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "engine/ExtractedVolumes.h"
#include "engine/PathHelpers.h"
#include "engine/PostAction.h"
#include "engine/RunMode.h"
#include "tests/engine/EngineFixture.h"
#include "tests/support/MountNamespace.h"

using testing_support::ReadFile;

namespace {

using M = ProductMsg;

struct ModeCase {
  const char* label;
  int16_t mode;
  bool ucase;
  const char* folder;  // relative to the destination; "" is the destination itself
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.label; }

class RunModes : public testing::TestWithParam<ModeCase> {};

TEST_P(RunModes, NameTheOutputFolder) {
  const ModeCase& c = GetParam();
  EngineFixture f;
  f.settings.UCase = c.ucase;
  const QString arc = f.makeZip("Data123.zip", {"a.txt", "sub/b.txt"});
  ASSERT_EQ(f.extract(arc, c.mode), 0) << f.listener.lines.join("\n").toStdString();
  const QString out = f.dest + c.folder;
  EXPECT_EQ(ReadFile(out + "/a.txt"), "content of a.txt");
  EXPECT_EQ(ReadFile(out + "/sub/b.txt"), "content of sub/b.txt");
  EXPECT_EQ(f.listener.lines,
            QStringList({"[ " + DispPath_Get(arc) + " ]", P(M::LogZipExtracting), P(M::LogExtracted)}));
  EXPECT_EQ(f.listener.folders, QStringList({QString(out).remove(QRegularExpression("/$"))}));
}

INSTANTIATE_TEST_SUITE_P(ArchiveExtract, RunModes,
                         testing::Values(ModeCase{"Okavi", 0, true, "DATA123"},
                                         ModeCase{"OkaviKeepsCase", 0, false, "Data123"},
                                         ModeCase{"Normal", 1, true, ""},
                                         ModeCase{"NoDigits", 2, true, "DATA"},
                                         ModeCase{"FileN", 3, true, "DATA123.ZIP"},
                                         ModeCase{"OtherValueAsOkavi", 7, false, "Data123"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ArchiveExtract, TarGzIsATarNotASingleGzip) {
  EngineFixture f;
  const QString arc = f.makeTarGz("x.tar.gz", {"t.txt"});
  ASSERT_EQ(f.extract(arc), 0);
  EXPECT_EQ(ReadFile(f.dest + "X/t.txt"), "content of t.txt");
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogTarExtracting), P(M::LogExtracted)}));
}

// Whatever name the gzip header stores (gzip keeps "stored.txt" here).
TEST(ArchiveExtract, SingleGzipIsNamedAfterTheArchive) {
  EngineFixture f;
  f.tmp.write("source/stored.txt", "hello");
  ASSERT_EQ(testing_support::Run("gzip", {"stored.txt"}, f.source), 0);
  const QString arc = f.source + "/ReadMe.txt.gz";
  ASSERT_TRUE(QFile::rename(f.source + "/stored.txt.gz", arc));
  ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_EQ(testing_support::Tree(f.dest + "README.TXT"), QStringList{"ReadMe.txt"});
  EXPECT_EQ(ReadFile(f.dest + "README.TXT/ReadMe.txt"), "hello");
}

TEST(ArchiveExtract, Bzip2FileGoesIntoItsFolderUnderItsOwnName) {
  EngineFixture f;
  f.tmp.write("source/notes.txt", "compressed words");
  ASSERT_EQ(testing_support::Run("bzip2", {"notes.txt"}, f.source), 0);
  ASSERT_EQ(f.extract(f.source + "/notes.txt.bz2"), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_EQ(ReadFile(f.dest + "NOTES.TXT/notes.txt"), "compressed words");
}

TEST(ArchiveExtract, LowerCaseLzhExtension) {
  EngineFixture f;
  const QString arc = f.makeLzh("pack.lzh", {"l.txt"});
  ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_EQ(ReadFile(f.dest + "PACK/l.txt"), "content of l.txt");
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogLzhExtracting), P(M::LogExtracted)}));
}

// An LZH archive inside a ZIP, the inner one named as the outer one less ".zip".
QString LzhInZip(EngineFixture& f, const QString& name) {
  const QString inner = f.makeLzh(name.chopped(4), {"d.txt"}), outer = f.source + "/" + name;
  EXPECT_EQ(testing_support::Run("zip", {"-q", "-j", outer, inner}, f.source), 0);
  QFile::remove(inner);
  return outer;
}

TEST(ArchiveExtract, DoubleArchiveWithoutDoubleIsAZip) {
  EngineFixture f;
  const QString arc = LzhInZip(f, "x.lzh.zip");
  f.settings.Double = false;
  ASSERT_EQ(f.extract(arc), 0);
  EXPECT_TRUE(QFileInfo(f.dest + "X.LZH/x.lzh").isFile());
}

TEST(ArchiveExtract, DoubleArchiveIsUnwrappedInTwoPasses) {
  EngineFixture f;
  const QString arc = LzhInZip(f, "x.lzh.zip");
  f.settings.Double = true;
  ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_EQ(ReadFile(f.dest + "X/d.txt"), "content of d.txt");
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogZipOuterPass), P(M::LogLzhInnerPass), P(M::LogExtracted)}));
  EXPECT_TRUE(QDir(f.settings.TmpDir).isEmpty()) << "the intermediate file stays behind";
}

// A missing TmpDir, and a relative one, which would resolve against
// whatever the current folder is (here one that holds such a folder).
TEST(ArchiveExtract, MissingOrRelativeTmpDirIsAFailureLine) {
  EngineFixture f;
  const QString arc = f.makeZip("y.zip.zip", {"z.txt"});
  f.settings.Double = true;
  const QString current = QDir::currentPath();
  QDir::setCurrent(f.tmp.path());
  for (const QString& tmpDir : {f.tmp.path() + "/no/such/folder/", QStringLiteral("tmpdir/")}) {
    f.settings.TmpDir = tmpDir;
    EXPECT_EQ(f.extract(arc), 1);
    EXPECT_EQ(f.linesAfterHeading(),
              QStringList({P(M::LogZipOuterPass), P(M::LogTmpDirUnusable), P(M::LogNotExtracted)}));
    EXPECT_FALSE(QFileInfo::exists(f.dest + "Y"));
  }
  QDir::setCurrent(current);
}

TEST(ArchiveExtract, FailureKeepsAPreexistingFolderAndRemovesAnEmptyCreatedOne) {
  EngineFixture f;
  const QString damaged = f.tmp.write("source/broken.zip", "PK\x03\x04 this is no zip at all");
  f.tmp.write("dest/BROKEN/keep.txt", "mine");
  EXPECT_EQ(f.extract(damaged), 1);
  EXPECT_EQ(ReadFile(f.dest + "BROKEN/keep.txt"), "mine");

  const QString other = f.tmp.write("source/other.zip", "not a zip");
  EXPECT_EQ(f.extract(other), 1);
  EXPECT_FALSE(QFileInfo::exists(f.dest + "OTHER"));
  EXPECT_EQ(f.listener.lines.mid(f.listener.lines.size() - 2),
            QStringList({P(M::LogNotExtracted), QString::fromUtf8("\u3000\u3000ZIP書庫ではありません")}));
}

TEST(ArchiveExtract, FileNIntoTheArchivesOwnFolderCannotMakeTheFolder) {
  EngineFixture f;
  const QString arc = f.makeZip("a.zip", {"x.txt"});
  f.dest = f.source + "/";
  f.settings.UCase = false;
  EXPECT_EQ(f.extract(arc, 3), 1);
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogNoDestination)}));
  EXPECT_TRUE(QFileInfo(arc).isFile());
}

TEST(ArchiveExtract, UnknownOrDisabledKindsAreFailures) {
  EngineFixture f;
  const QString text = f.tmp.write("source/notes.txt", "text");
  EXPECT_EQ(f.extract(text), 1);
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogNotExtracted)}));

  const QString arc = f.makeZip("off.zip", {"x.txt"});
  f.settings.Zip = false;
  EXPECT_EQ(f.extract(arc), 1);
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogNotExtracted)}));
}

TEST(ArchiveExtract, ExeThatNoKindRecognisesLogsOneCheckPerEnabledKind) {
  EngineFixture f;
  f.settings.Lzh_Exe = f.settings.Zip_Exe = f.settings.Arj_Exe = f.settings.Cab_Exe = f.settings.Rar_Exe = true;
  const QString exe = f.tmp.write("source/tool.exe", QByteArray("MZ") + QByteArray(4000, 'x'));
  EXPECT_EQ(f.extract(exe), 1);
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogLzhChecking), P(M::LogZipChecking), P(M::LogArjChecking),
                                                P(M::LogCabChecking), P(M::LogRarChecking), P(M::LogNotExtracted)}));

  f.settings.Zip_Exe = false;  // a kind whose switch is off is not tried
  EXPECT_EQ(f.extract(exe), 1);
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogLzhChecking), P(M::LogArjChecking), P(M::LogCabChecking),
                                                P(M::LogRarChecking), P(M::LogNotExtracted)}));
}

TEST(ArchiveExtract, SelfExtractingZipIsFoundByTheProbeChain) {
  EngineFixture f;
  f.settings.Lzh_Exe = f.settings.Zip_Exe = true;
  const QString zip = f.makeZip("payload.zip", {"p.txt"});
  QByteArray exe = QByteArray("MZ") + QByteArray(3000, '\0');
  exe += ReadFile(zip);
  const QString sfx = f.tmp.write("source/Setup.exe", exe);
  ASSERT_EQ(f.extract(sfx), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_EQ(f.linesAfterHeading(),
            QStringList({P(M::LogLzhChecking), P(M::LogZipChecking), P(M::LogZipExtracting), P(M::LogExtracted)}));
  EXPECT_EQ(ReadFile(f.dest + "SETUP/p.txt"), "content of p.txt");
}

// Self-extracting files of every kind the probe chain tries, from the samples:
// each is recognised by its own kind after the check lines of the kinds before it.
TEST(ArchiveExtract, ProbesFindEveryKindOfSelfExtractingFile) {
  struct Row {
    const char* sample;
    QList<ProductMsg> lines;
  };
  const Row rows[] = {
      {"lzh/sfx_mz.exe", {M::LogLzhChecking, M::LogLzhExtracting, M::LogExtracted}},
      {"sfx/zip_sfx_raw.exe", {M::LogLzhChecking, M::LogZipChecking, M::LogZipExtracting, M::LogExtracted}},
      {"arj/sfx_mz.exe",
       {M::LogLzhChecking, M::LogZipChecking, M::LogArjChecking, M::LogArjExtracting, M::LogExtracted}},
      {"sfx/cab_sfx_small.exe",
       {M::LogLzhChecking, M::LogZipChecking, M::LogArjChecking, M::LogCabChecking, M::LogCabExtracting,
        M::LogExtracted}},
      {"sfx/rar4_sfx_40000.exe",
       {M::LogLzhChecking, M::LogZipChecking, M::LogArjChecking, M::LogCabChecking, M::LogRarChecking,
        M::LogRarExtracting, M::LogExtracted}},
      {"lzh/sfx_hu.x", {M::LogLzhChecking, M::LogLzhExtracting, M::LogExtracted}},
      {"ish/TERM.LOG", {M::LogIshChecking, M::LogIshDecoding, M::LogExtracted}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.sample);
    EngineFixture f;
    f.settings.Lzh_Exe = f.settings.Zip_Exe = f.settings.Arj_Exe = f.settings.Cab_Exe = f.settings.Rar_Exe = true;
    f.settings.Lzh_X = f.settings.Ish_Log = true;
    EXPECT_EQ(f.extract(testing_support::Sample(row.sample)), 0);
    QStringList expected;
    for (ProductMsg id : row.lines) expected << P(id);
    EXPECT_EQ(f.linesAfterHeading(), expected);
    EXPECT_FALSE(QDir(f.dest).isEmpty());
  }
}

// Makes source/NAME from t.txt with a shell command in a scratch folder (ARC: the archive).
QString MadeByShell(EngineFixture& f, const QString& name, QString command) {
  const QString scratch = f.tmp.mkdir("made-" + name);
  f.tmp.write("made-" + name + "/t.txt", "today's text");
  const QString archive = f.source + "/" + name;
  QByteArray output;
  EXPECT_EQ(testing_support::Run("bash", {"-c", command.replace("ARC", "'" + archive + "'")}, scratch, &output), 0)
      << output.toStdString();
  return archive;
}

// Every kind of today through the engine, as the window's run and the
// automatic run call it: dispatch on the extension, the folder of the run
// mode, the single files, the last link of the .EXE probe chain and the
// double kinds, with the log lines of each.
TEST(ArchiveExtract, TodaysKindsExtractIntoTheirFolders) {
  const QList<ProductMsg> exeChecks = {M::LogLzhChecking, M::LogZipChecking, M::LogArjChecking, M::LogCabChecking,
                                       M::LogRarChecking, M::LogSevenZipChecking};
  const struct {
    const char* archive;
    const char* command;
    const char* output;  // relative to the destination
    QList<ProductMsg> lines;
  } rows[] = {
      {"x.7z", "7zz a -bso0 -bsp0 ARC t.txt", "X/t.txt", {M::LogSevenZipExtracting}},
      {"Setup.exe", "7zz a -bso0 -bsp0 p.7z t.txt && { printf MZ; head -c 3000 /dev/zero; cat p.7z; } > ARC",
       "SETUP/t.txt", exeChecks + QList<ProductMsg>{M::LogSevenZipExtracting}},
      {"x.tar.xz", "tar -cJf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"x.txz", "tar -cJf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"t.txt.xz", "xz -c t.txt > ARC", "T.TXT/t.txt", {M::LogTarExtracting}},
      {"x.tar.zst", "tar --zstd -cf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"x.tzst", "tar --zstd -cf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"t.txt.zst", "zstd -q -c t.txt > ARC", "T.TXT/t.txt", {M::LogTarExtracting}},
      {"x.tar.lz", "tar --lzip -cf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"t.txt.lz", "lzip -c t.txt > ARC", "T.TXT/t.txt", {M::LogTarExtracting}},
      {"x.tar.lzma", "tar --lzma -cf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"x.tlz", "tar --lzma -cf ARC t.txt", "X/t.txt", {M::LogTarExtracting}},
      {"t.txt.lzma", "xz --format=lzma -c t.txt > ARC", "T.TXT/t.txt", {M::LogTarExtracting}},
      {"x.tar.xz.zip", "tar -cJf x.tar.xz t.txt && zip -q ARC x.tar.xz", "X/t.txt",
       {M::LogZipOuterPass, M::LogTarInnerPass}},
      {"x.zip.7z", "zip -q x.zip t.txt && 7zz a -bso0 -bsp0 ARC x.zip", "X/t.txt",
       {M::LogSevenZipOuterPass, M::LogZipInnerPass}},
      // Split files, read from their first part; a plain .001 by its content.
      {"x.7z.001", "cd \"$(dirname ARC)\" && 7zz a -bso0 -bsp0 -v60b x.7z \"$OLDPWD/t.txt\"", "X/t.txt",
       {M::LogSevenZipExtracting}},
      {"x.zip.001", "zip -q p.zip t.txt && split -d -a 3 --numeric-suffixes=1 -b 50 p.zip \"$(dirname ARC)/x.zip.\"",
       "X/t.txt", {M::LogZipExtracting}},
      {"x.001", "7zz a -bso0 -bsp0 p.7z t.txt && split -d -a 3 --numeric-suffixes=1 -b 50 p.7z \"$(dirname ARC)/x.\"",
       "X/t.txt", {M::LogLzhChecking, M::LogZipChecking, M::LogSevenZipChecking, M::LogSevenZipExtracting}},
      {"x.lzh.001", "jlha aq p.lzh t.txt && split -d -a 3 --numeric-suffixes=1 -n 2 p.lzh \"$(dirname ARC)/x.lzh.\"",
       "X/t.txt", {M::LogLzhExtracting}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive);
    EngineFixture f;
    f.settings.Double = true;
    f.settings.Lzh_Exe = f.settings.Zip_Exe = f.settings.Arj_Exe = f.settings.Cab_Exe = f.settings.Rar_Exe = true;
    f.settings.SevenZip_Exe = true;
    const QString arc = MadeByShell(f, row.archive, row.command);
    ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
    EXPECT_EQ(ReadFile(f.dest + row.output), "today's text");
    QStringList expected;
    for (ProductMsg id : row.lines + QList<ProductMsg>{M::LogExtracted}) expected << P(id);
    EXPECT_EQ(f.linesAfterHeading(), expected);
  }
}

// Archive makers for the rows below: `name` is relative to the source folder.
QString Sample(EngineFixture& f, const QString& name, const char* sample) {
  return f.tmp.write("source/" + name, ReadFile(testing_support::Sample(sample)));
}
QString Zip(EngineFixture& f, const QString& name) { return f.makeZip(name, {"a.txt"}); }
QString Lzh(EngineFixture& f, const QString& name) { return f.makeLzh(name, {"l.txt"}); }
QString Arj(EngineFixture& f, const QString& name) { return Sample(f, name, "arj/m1.arj"); }
QString Cab(EngineFixture& f, const QString& name) { return Sample(f, name, "cab/mszip.cab"); }
QString Ish(EngineFixture& f, const QString& name) { return Sample(f, name, "ish/sjis/DATA.ish"); }
QString TarGz(EngineFixture& f, const QString& name) { return f.makeTarGz(name, {"t.txt"}); }
QString Gz(EngineFixture& f, const QString& name) { return f.makeGz(name, "hello"); }
// name.part1.rar .. name.part3.rar
QString RarSet(EngineFixture& f, const QString& name) {
  for (int n = 3; n >= 1; --n)
    Sample(f, QString(name).replace("part1", QString("part%1").arg(n)),
           QString("rar/volumes/test_rar_multivolume_single_file.part%1.rar").arg(n).toUtf8().constData());
  return f.source + "/" + name;
}

// Every name Linux allows reaches each module: a quote in the archive's name
// or folder or in the destination (no quoted command can carry one), " /F="
// in the destination (the ISH form's folder mark), names that begin like
// options. Each extracts into the real folder and is moved there after;
// the log and the folder list name the real paths, and nothing made to hand
// the names over is left behind.
TEST(ArchiveExtract, EveryNameReachesTheModule) {
  const struct Row {
    const char* label;
    QString (*make)(EngineFixture&, const QString&);
    const char* archive;  // relative to the source folder
    const char* dest;     // the destination, inside the fixture's
    int16_t mode;
    const char* member;   // relative to the destination
    bool quoteInTmpDir;
  } rows[] = {
      {"zip", Zip, "quote\"d.zip", "de\"st", Okavi, "quote\"d/a.txt", true},
      {"zip into the destination", Zip, "\"lead.zip", "de\"st", Normal, "a.txt", false},
      {"lzh", Lzh, "-a \"b\".lzh", " /F=x", Okavi, "-a \"b\"/l.txt", false},
      {"arj", Arj, "sr\"c/ar\"j.arj", "de\"st", Okavi, "ar\"j/small.txt", false},
      {"cab", Cab, "ca\"b.cab", "de\"st", FileN, "ca\"b.cab/small.txt", false},
      {"rar volume set", RarSet, "vo\"l.part1.rar", "de\"st", Okavi, "vo\"l.part1/LibarchiveAddingTest.html", false},
      {"ish", Ish, "is\"h.ish", " /F=x", Okavi, "is\"h/DATA.BIN", false},
      {"ish from a folder with the mark", Ish, " /F=y/DATA.ish", "de\"st", NoDigits, "DATA/DATA.BIN", false},
      {"tar.gz", TarGz, "ta\"r.tar.gz", "de\"st", Okavi, "ta\"r/t.txt", false},
      {"gz", Gz, "sin\"gle.txt.gz", "de\"st", Okavi, "sin\"gle.txt/sin\"gle.txt", false},
      {"double", LzhInZip, "dou\"ble.lzh.zip", "de\"st", Okavi, "dou\"ble/d.txt", true},
      {"names like options", TarGz, "-lead.tgz", "-d", Okavi, "-lead/t.txt", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EngineFixture f;
    f.settings.UCase = false;
    f.settings.Double = true;
    f.settings.File = PostMove;
    if (row.quoteInTmpDir) f.settings.TmpDir = f.tmp.mkdir("tm\"p") + "/";
    f.dest = f.tmp.mkdir(QStringLiteral("dest/") + row.dest) + "/";
    const QString arc = row.make(f, row.archive);
    const QString member = f.dest + row.member, out = QFileInfo(member).path();
    ASSERT_EQ(f.extract(arc, row.mode), 0) << f.listener.lines.join("\n").toStdString();
    EXPECT_GT(QFileInfo(member).size(), 0);
    EXPECT_EQ(f.listener.lines.first(), "[ " + DispPath_Get(arc) + " ]");
    EXPECT_EQ(f.listener.lines.last(), P(M::LogExtracted));
    EXPECT_EQ(f.listener.lines.filter(QRegularExpression("/proc/|rukasu2-|_")), QStringList());
    EXPECT_EQ(f.listener.folders, QStringList({out}));
    // Moved, every volume of a set with it.
    EXPECT_TRUE(QFileInfo(out + "/" + FileName_Get(arc)).isFile());
    EXPECT_EQ(QDir(ParentDir_Get(arc)).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(QDir(f.settings.TmpDir).isEmpty());
    QStringList made;
    for (QDirIterator it(f.tmp.path(), QDir::AllEntries | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();)
      if (const QString path = it.next(); path.contains(".rukasu2-") || QFileInfo(path).isSymLink()) made << path;
    EXPECT_EQ(made, QStringList());
  }
}

// The single file that a name no command can carry would name is made under
// a free name and then given its own: an existing one is kept, or replaced
// when the option text says so, as under its own name.
TEST(ArchiveExtract, SingleFileWithAQuoteIsKeptOrReplacedAsItsOptionsSay) {
  const struct {
    const char* label;
    const char* option;
    const char* existing;
    const char* content;
  } rows[] = {{"new", "-Gxf", nullptr, "hello"}, {"kept", "-Gxf", "mine", "mine"},
              {"replaced", "-Gxf --overwrite", "mine", "hello"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EngineFixture f;
    f.settings.UCase = false;
    f.settings.TarGz_Opt = row.option;
    const QString arc = f.makeGz("sin\"gle.txt.gz", "hello"), out = f.dest + "sin\"gle.txt/";
    if (row.existing) f.tmp.write("dest/sin\"gle.txt/sin\"gle.txt", row.existing);
    ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
    EXPECT_EQ(ReadFile(out + "sin\"gle.txt"), row.content);
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"sin\"gle.txt"});
    EXPECT_EQ(f.linesAfterHeading().contains(P(M::LogSkippedHead) + "1" + P(M::LogSkippedTail)),
              QByteArray(row.content) == "mine");
  }
}

TEST(ArchiveExtract, ExistingFileIsKeptAndCounted) {
  EngineFixture f;
  const QString arc = f.makeZip("k.zip", {"one.txt", "two.txt"});
  f.tmp.write("dest/K/one.txt", "older");
  ASSERT_EQ(f.extract(arc), 0);
  EXPECT_EQ(ReadFile(f.dest + "K/one.txt"), "older");
  EXPECT_EQ(
      f.linesAfterHeading(),
      QStringList({P(M::LogZipExtracting), P(M::LogSkippedHead) + "1" + P(M::LogSkippedTail), P(M::LogExtracted)}));
}

TEST(ArchiveExtract, AfterActionsCopyMoveDelete) {
  EngineFixture f;
  const QString a = f.makeZip("copy.zip", {"c.txt"});
  f.settings.File = 1;
  ASSERT_EQ(f.extract(a), 0);
  EXPECT_TRUE(QFileInfo(a).isFile());
  EXPECT_EQ(ReadFile(f.dest + "COPY/copy.zip"), ReadFile(a));

  const QString b = f.makeZip("move.zip", {"m.txt"});
  const QByteArray bytes = ReadFile(b);
  f.settings.File = 2;
  ASSERT_EQ(f.extract(b), 0);
  EXPECT_FALSE(QFileInfo::exists(b));
  EXPECT_EQ(ReadFile(f.dest + "MOVE/move.zip"), bytes);

  const QString c = f.makeZip("del.zip", {"d.txt"});
  f.settings.File = 3;
  ASSERT_EQ(f.extract(c), 0);
  EXPECT_FALSE(QFileInfo::exists(c));
  EXPECT_EQ(f.listener.lines.last(), P(M::LogExtracted));
}

// A move never destroys the archive or a different file in its way.
TEST(ArchiveExtract, MoveKeepsTheArchiveWhenADifferentFileIsInTheWay) {
  EngineFixture f;
  f.settings.File = 2;
  f.settings.UCase = false;
  QDir().mkpath(f.tmp.path() + "/inner");
  f.tmp.write("inner/same.zip", "a different file of the same name");
  const QString arc = f.source + "/same.zip";
  ASSERT_EQ(testing_support::Run("zip", {"-q", arc, "same.zip"}, f.tmp.path() + "/inner"), 0);
  ASSERT_EQ(f.extract(arc), 0);
  EXPECT_TRUE(QFileInfo(arc).isFile());
  EXPECT_EQ(ReadFile(f.dest + "same/same.zip"), "a different file of the same name");
  EXPECT_EQ(f.linesAfterHeading(),
            QStringList({P(M::LogZipExtracting), P(M::LogCopyTargetDiffers), P(M::LogExtracted)}));
}

TEST(ArchiveExtract, MoveIntoTheArchivesOwnFolderKeepsTheArchive) {
  EngineFixture f;
  f.settings.File = 2;
  const QString arc = f.makeZip("here.zip", {"h.txt"});
  f.dest = f.source + "/";
  ASSERT_EQ(f.extract(arc, 1), 0);
  EXPECT_TRUE(QFileInfo(arc).isFile());
  EXPECT_EQ(ReadFile(f.source + "/h.txt"), "content of h.txt");
}

// Deleting from a read-only file system is refused: the line says so, the
// archive stays. Needs a read-only bind mount in a private mount namespace.
TEST(ArchiveExtract, RefusedDeleteIsReported) {
  const QString base = "/tmp/rukasu2-refused-delete";
  if (!testing_support::InMountNamespace()) {
    QDir(base).removeRecursively();
    QDir().mkpath(base + "/ro");
    ASSERT_EQ(testing_support::Run("zip", {"-q", base + "/ro/r.zip", "-"}, QString()), 0);
    testing_support::RunTestInMountNamespace("mount --bind " + base + "/ro " + base + "/ro && mount -o remount,bind,ro " +
                                             base + "/ro");
    QDir(base).removeRecursively();
    return;
  }
  EngineFixture f;
  f.settings.File = 3;
  const QString arc = base + "/ro/r.zip";
  ASSERT_EQ(f.extract(arc), 0) << f.listener.lines.join("\n").toStdString();
  EXPECT_TRUE(QFileInfo(arc).isFile());
  EXPECT_EQ(f.linesAfterHeading(), QStringList({P(M::LogZipExtracting), P(M::LogNotDeleted), P(M::LogExtracted)}));
}

}  // namespace

namespace {

// The three volumes of a RAR set in the source folder, named set.part1.rar ...
QStringList MakeVolumeSet(const EngineFixture& f) {
  QStringList paths;
  for (int n = 1; n <= 3; ++n) {
    const QString sample = testing_support::Sample(QString("rar/volumes/test_rar_multivolume_single_file.part%1.rar").arg(n));
    paths << f.tmp.write(QString("source/set.part%1.rar").arg(n), ReadFile(sample));
  }
  return paths;
}

// A 7z archive split by 7-Zip into pack.7z.001 ... in the source folder.
QStringList MakeSplitSet(const EngineFixture& f) {
  QByteArray noise(3000, '\0');
  for (uint32_t i = 0, x = 2463534242u; i < 3000; ++i) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;  // nothing for 7-Zip to shrink
    noise[i] = static_cast<char>(x);
  }
  f.tmp.write("split/noise.bin", noise);
  EXPECT_EQ(testing_support::Run("7zz", {"a", "-bso0", "-bsp0", "-v1k", f.source + "/pack.7z", "noise.bin"},
                                 f.tmp.file("split")),
            0);
  QStringList paths;
  for (const QString& name : QDir(f.source).entryList({"pack.7z.*"}, QDir::Files, QDir::Name)) paths << f.source + "/" + name;
  EXPECT_GT(paths.size(), 2);
  return paths;
}

// A RAR archive cut by a split tool into set.rar.001 ... (not a RAR volume set).
QStringList MakeSplitRar(const EngineFixture& f) {
  const QByteArray rar = ReadFile(testing_support::Sample("rar/rar_compress_normal.rar"));
  QStringList paths;
  for (qsizetype at = 0; at < rar.size(); at += 6000)
    paths << f.tmp.write(QString("source/set.rar.%1").arg(paths.size() + 1, 3, 10, QChar('0')), rar.mid(at, 6000));
  return paths;
}

const QString kSetMember = "SET.PART1/LibarchiveAddingTest.html";

// A RAR volume set and split files: the member each holds and its size.
const struct {
  const char* label;
  QStringList (*make)(const EngineFixture&);
  QString member;
  qint64 size;
} kSetKinds[] = {{"rar", MakeVolumeSet, kSetMember, 20111},
                 {"split", MakeSplitSet, "PACK/noise.bin", 3000},
                 {"split rar", MakeSplitRar, "SET/LibarchiveAddingTest.html", 20111}};

struct SetCase {
  const char* label;
  int16_t action;
  bool keptFile;       // the member is already in the output folder: result 1
  bool volumesStay;    // in the source folder
  bool volumesCopied;  // into the output folder
};

void PrintTo(const SetCase& c, std::ostream* os) { *os << c.label; }

class VolumeSets : public testing::TestWithParam<SetCase> {};

// The first volume extracts the set; Copy, Move and Delete take every volume,
// and only after result 0; a later volume is then done, with a line of its own.
TEST_P(VolumeSets, ActOnEveryVolumeAndCountLaterOnesDone) {
  const SetCase& c = GetParam();
  for (const auto& kind : kSetKinds) {
    SCOPED_TRACE(kind.label);
    EngineFixture f;
    const QStringList set = kind.make(f);
    const QString folder = kind.member.section('/', 0, 0);
    f.settings.File = c.action;
    if (c.keptFile) f.tmp.write("dest/" + kind.member, "mine");
    ExtractedVolumes volumes;
    ASSERT_EQ(f.extract(set[0], 0, &volumes), 0) << f.listener.lines.join("\n").toStdString();
    EXPECT_EQ(ReadFile(f.dest + kind.member).size(), c.keptFile ? 4 : kind.size);
    for (const QString& path : set) {
      EXPECT_EQ(QFileInfo::exists(path), c.volumesStay) << path.toStdString();
      EXPECT_EQ(QFileInfo::exists(f.dest + folder + "/" + FileName_Get(path)), c.volumesCopied) << path.toStdString();
    }
    for (const QString& later : set.mid(1)) {
      ASSERT_EQ(f.extract(later, 0, &volumes), 0);
      EXPECT_EQ(f.listener.lines, QStringList({"[ " + DispPath_Get(later) + " ]", P(M::LogSetVolumeHead) +
                                                   FileName_Get(set[0]) + P(M::LogSetVolumeTail)}));
    }
    EXPECT_EQ(QDir(f.dest).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{folder});
  }
}

INSTANTIATE_TEST_SUITE_P(ArchiveExtract, VolumeSets,
                         testing::Values(SetCase{"None", 0, false, true, false}, SetCase{"Copy", 1, false, true, true},
                                         SetCase{"Move", 2, false, false, true},
                                         SetCase{"Delete", 3, false, false, false},
                                         SetCase{"MoveAfterAKeptFile", 2, true, true, false},
                                         SetCase{"DeleteAfterAKeptFile", 3, true, true, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// One byte changed in the data of the member that spans the volumes: the
// set fails and Delete takes none of its volumes.
TEST(ArchiveExtract, ADamagedVolumeKeepsTheWholeSet) {
  EngineFixture f;
  const QStringList set = MakeVolumeSet(f);
  QByteArray second = ReadFile(set[1]);
  second[second.size() / 2] = static_cast<char>(second[second.size() / 2] ^ 0x01);
  f.tmp.write("source/set.part2.rar", second);
  f.settings.File = 3;  // Delete
  EXPECT_EQ(f.extract(set[0]), 1);
  for (const QString& path : set) EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  EXPECT_FALSE(QFileInfo::exists(f.dest + kSetMember));
}

// After each failure line, the module's reason on a line of its own.
TEST(ArchiveExtract, FailureLineIsFollowedByTheReason) {
  EngineFixture f;
  const QStringList set = MakeVolumeSet(f);
  const QString rar4 = testing_support::Sample("rar/rar_compress_normal.rar");
  const QString rar5 = testing_support::Sample("rar/rar5_multiple_files.rar");
  const struct {
    QString archive;
    QString reason;
  } rows[] = {
      {f.tmp.write("source/text.zip", "not a zip"), "ZIP書庫ではありません"},
      {set[1], "分割書庫の途中の巻です。最初の巻 set.part1.rar から解凍してください"},
      {f.tmp.write("source/enc.rar", ReadFile(testing_support::Sample("rar/rar4_encrypted.rar"))),
       "b.txt: 暗号化されています（パスワードが必要です）"},
      {MadeByShell(f, "enc.7z", "7zz a -bso0 -bsp0 -psecret -mhe=on ARC t.txt"),
       "書庫のヘッダーが暗号化されています（パスワードが必要です）"},
      {MadeByShell(f, "odd.lzh",
                   "python3 -c \"import struct,sys;h=b'-lh9-'+struct.pack('<IIIBBB',4,4,0,32,0,5)+b'a.txt\\0\\0';"
                   "open(sys.argv[1],'wb').write(bytes([len(h),sum(h)%256])+h+b'data\\0')\" ARC"),
       "a.txt: 対応していない圧縮方式です（-lh9-）"},
      {MadeByShell(f, "gap.7z.001",
                   "7zz a -bso0 -bsp0 p.7z t.txt && split -d -a 3 --numeric-suffixes=1 -n 3 p.7z \"$(dirname ARC)/gap.7z.\""
                   " && rm \"$(dirname ARC)/gap.7z.002\""),
       "分割書庫の巻がありません: gap.7z.002"},
      {MadeByShell(f, "end.7z.001",
                   "7zz a -bso0 -bsp0 p.7z t.txt && split -d -a 3 --numeric-suffixes=1 -n 3 p.7z \"$(dirname ARC)/end.7z.\""
                   " && rm \"$(dirname ARC)/end.7z.003\""),
       "分割書庫の巻がありません: end.7z.003"},
      {MadeByShell(f, "cut.zip.001",
                   "zip -q p.zip t.txt && split -d -a 3 --numeric-suffixes=1 -n 3 p.zip \"$(dirname ARC)/cut.zip.\""
                   " && rm \"$(dirname ARC)/cut.zip.003\""),
       "ZIPの中央ディレクトリが見つかりません（分割書庫の次の巻 cut.zip.003 がないか、壊れています）"},
      {MadeByShell(f, "end.rar.001", "split -d -a 3 --numeric-suffixes=1 -n 3 '" + rar4 + "' \"$(dirname ARC)/end.rar.\""
                                      " && rm \"$(dirname ARC)/end.rar.003\""),
       "分割書庫の巻がありません: end.rar.003"},
      {MadeByShell(f, "end5.rar.001", "split -d -a 3 --numeric-suffixes=1 -n 2 '" + rar5 + "' \"$(dirname ARC)/end5.rar.\""
                                       " && rm \"$(dirname ARC)/end5.rar.002\""),
       "分割書庫の巻がありません: end5.rar.002"},
      {f.tmp.write("source/flip.zip", ReadFile(testing_support::Sample("damaged/zip_flip.zip"))),
       "text.txt: 書庫が壊れています（展開したデータの長さが中央ディレクトリと違います）"},
      {f.tmp.write("source/flip.lzh", ReadFile(testing_support::Sample("damaged/lzh_lh5_flip.lzh"))),
       "text.txt: CRC が一致しません"},
      {f.tmp.write("source/flip.arj", ReadFile(testing_support::Sample("damaged/arj_m1_flip.arj"))),
       "text.txt: 圧縮データが壊れています（ハフマン表が不正です）"},
      {f.tmp.write("source/flip.cab", ReadFile(testing_support::Sample("damaged/cab_mszip_flip.cab"))),
       "text.txt: データブロックのチェックサムが合いません"},
      {f.tmp.write("source/flip.tar.gz", ReadFile(testing_support::Sample("damaged/tar_flip.tar.gz"))),
       "CRCが一致しません（gzip）"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.archive.toStdString());
    EXPECT_EQ(f.extract(row.archive), 1);
    ASSERT_GE(f.listener.lines.size(), 2);
    EXPECT_EQ(f.listener.lines.mid(f.listener.lines.size() - 2),
              QStringList({P(M::LogNotExtracted), "\u3000\u3000" + row.reason}));
  }
  QFile::remove(set[1]);  // a missing volume is named, by its own name
  EXPECT_EQ(f.extract(set[0]), 1);
  EXPECT_EQ(f.listener.lines.last(), QString::fromUtf8("\u3000\u3000分割書庫の巻がありません: set.part2.rar"));
  QFile::rename(set[0], f.source + "/s\"et.part1.rar");
  QFile::rename(set[2], f.source + "/s\"et.part3.rar");
  EXPECT_EQ(f.extract(f.source + "/s\"et.part1.rar"), 1);
  EXPECT_EQ(f.listener.lines.last(), QString::fromUtf8("\u3000\u3000分割書庫の巻がありません: s\"et.part2.rar"));
}

}  // namespace
