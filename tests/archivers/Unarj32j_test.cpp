// UNARJ32J.DLL loaded by file name as the program loads it: the sample
// archives, damaged and hostile ones, archives made here with Debian's arj
// (every method, garbled, multi-volume, self-extracting), and the command forms.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <zlib.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <map>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "platform/Cp932.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

using namespace rkarc;
using testing_support::Sample;
using testing_support::TempFolder;
using testing_support::TestModule;

namespace {

const TestModule& Module() {
  static const TestModule module("UNARJ32J.DLL", "Unarj");
  return module;
}

// Runs "<options> "<archive>" "<out>/" [<members>]" and returns the result code.
int32_t Extract(const QString& archive, const QString& out, const std::string& options = "x -+",
                std::string* report = nullptr, const std::string& members = {}) {
  std::string command = options + " \"" + archive.toStdString() + "\" \"" + out.toStdString() + "/\"";
  if (!members.empty()) command += " " + members;
  return Module().command(command, report);
}

// Runs Debian's arj in a folder.
bool Arj(const QString& folder, const QStringList& arguments) {
  QByteArray output;
  const int rc = testing_support::Run("arj", arguments, folder, &output);
  if (rc != 0) ADD_FAILURE() << "arj " << arguments.join(' ').toStdString() << ": " << output.toStdString();
  return rc == 0;
}

// Removes a tree whose names are not UTF-8, which QDir cannot remove.
struct RawTreeRemover {
  std::string path;
  ~RawTreeRemover() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// A file whose name is stored as CP932 bytes, as a Japanese Windows system names it.
void WriteCp932Named(const QString& root, const QString& utf8Path, const QByteArray& content) {
  std::string path = root.toStdString();
  const QStringList parts = utf8Path.split('/');
  for (int i = 0; i < parts.size(); ++i) {
    path += "/" + cp932::FromUtf8(parts[i].toStdString());
    if (i + 1 < parts.size()) ::mkdir(path.c_str(), 0755);
  }
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, content.constData(), static_cast<size_t>(content.size())), content.size());
  ::close(fd);
}

// A few MB that exercise every path of the decoders: text (short matches and
// literals), random bytes (literals only), a long zero run (single-symbol
// codes, 256-byte copies), and a block repeated at about the window's distance.
QByteArray MixedContent() {
  QByteArray out;
  uint32_t seed = 12345;
  auto random = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  const char* words[] = {"archive ", "member ", "解凍 ", "folder\n", "ARJ ", "window ", "\t", "0123 "};
  while (out.size() < 1500000) out.append(words[random() % 8]);
  for (int i = 0; i < 400000; ++i) out.append(static_cast<char>(random()));
  out.append(QByteArray(1200000, '\0'));
  QByteArray block;
  for (int i = 0; i < 26623; ++i) block.append(static_cast<char>(random()));
  for (int i = 0; i < 8; ++i) out.append(block);
  return out;
}

// Every file under root with its content (folders end in "/" and map to nothing).
std::map<QString, QByteArray> Contents(const QString& root) {
  std::map<QString, QByteArray> out;
  for (const QString& entry : testing_support::Tree(root))
    out[entry] = entry.endsWith('/') ? QByteArray() : testing_support::ReadFile(root + "/" + entry);
  return out;
}

// Rewrites every member header of an archive as if made on MS-DOS at the
// given local time, with the header CRCs made right again.
QByteArray AsMadeOnDos(QByteArray data, const QDateTime& local) {
  const QDate d = local.date();
  const QTime t = local.time();
  const uint32_t dos = static_cast<uint32_t>((d.year() - 1980) << 25 | d.month() << 21 | d.day() << 16 |
                                             t.hour() << 11 | t.minute() << 5 | t.second() / 2);
  qsizetype pos = 0;
  for (bool main = true;; main = false) {
    const auto u16 = [&](qsizetype at) { return static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8; };
    const int basic = u16(pos + 2);
    if (basic == 0) break;
    char* h = data.data() + pos + 4;
    const uint32_t compressed = static_cast<uint8_t>(h[12]) | static_cast<uint8_t>(h[13]) << 8 |
                                static_cast<uint8_t>(h[14]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(h[15])) << 24;
    h[3] = 0;  // host OS: MS-DOS
    if (!main) {
      for (int i = 0; i < 4; ++i) h[8 + i] = static_cast<char>(dos >> (8 * i));
    }
    const uint32_t crc = static_cast<uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(h), static_cast<uInt>(basic)));
    for (int i = 0; i < 4; ++i) h[basic + i] = static_cast<char>(crc >> (8 * i));
    pos += 4 + basic + 4 + 2 + (main ? 0 : compressed);
  }
  return data;
}

}  // namespace

TEST(Unarj32j, ExtractsEverySampleAsTheManifestSays) {
  ASSERT_TRUE(Module().loaded()) << Module().error();
  const QStringList files = testing_support::ManifestFiles("arj/");
  ASSERT_GE(files.size(), 9);
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    TempFolder temp;
    const QString out = temp.mkdir("out");
    std::string report;
    EXPECT_EQ(Extract(Sample(file), out, "x -+", &report), kOk) << report;
    EXPECT_EQ(testing_support::CompareWithManifest(out, file).toStdString(), "");
  }
}

TEST(Unarj32j, ExtractsWhatArjMadeWithEachMethod) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  const RawTreeRemover cleanup{src.toStdString()};
  std::map<QString, QByteArray> expected = {
      {"mixed.bin", MixedContent()},
      {"empty.dat", {}},
      {"sub/", {}},
      {"sub/inner.txt", "inside a folder\n"},
      {"日本語/", {}},
      {"日本語/能力表.txt", "能力表 (0x5C trail bytes)\n"},
      {"ソ表能.txt", "ソ表能\n"},
  };
  for (const auto& [name, content] : expected) {
    if (name.endsWith('/')) continue;
    WriteCp932Named(src, name, content);
  }
  const QByteArray notes = "plain 7-bit text, stored as a text member\r\nsecond line\n";
  temp.write("notes/notes.txt", notes);
  expected["notes.txt"] = notes;

  for (int method = 0; method <= 4; ++method) {
    SCOPED_TRACE(method);
    const QString archive = temp.file(QString("m%1.arj").arg(method));
    const QString m = QString("-m%1").arg(method);
    ASSERT_TRUE(Arj(src, {"a", "-y", "-r", m, archive, "*"}));
    ASSERT_TRUE(Arj(temp.file("notes"), {"a", "-y", "-t1", m, archive, "notes.txt"}));
    const QString out = temp.mkdir(QString("out%1").arg(method));
    std::string report;
    EXPECT_EQ(Extract(archive, out, "x -+", &report), kOk) << report;
    EXPECT_TRUE(Contents(out) == expected) << testing_support::Tree(out).join(", ").toStdString();
  }
}

// Damaged samples: the archive fails with the reason's code, and whatever was
// written is a whole member of the undamaged original.
TEST(Unarj32j, DamagedArchivesFailWithoutPartialFiles) {
  struct Row {
    const char* file;
    const char* original;
    int32_t code;
  };
  const Row rows[] = {
      {"damaged/arj_m1_flip.arj", "arj/m1.arj", kErrDamaged},  // the decoder notices before the CRC
      {"damaged/arj_m4_trunc.arj", "arj/m4.arj", kErrDamaged},
      {"damaged/arj_hdrcrc.arj", "arj/m0.arj", kErrChecksum},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    TempFolder temp;
    const QString out = temp.mkdir("out");
    std::string report;
    EXPECT_EQ(Extract(Sample(row.file), out, "x -+", &report), row.code);
    EXPECT_FALSE(report.empty());
    std::map<QString, QString> whole;  // member -> sha256 in the original
    for (const auto& r : testing_support::ManifestRowsOf(row.original)) whole[r.member] = r.sha256;
    for (const auto& [name, content] : Contents(out)) {
      ASSERT_TRUE(whole.count(name)) << "unexpected " << name.toStdString();
      if (!name.endsWith('/')) {
        EXPECT_EQ(QString(testing_support::Sha256Hex(content)), whole[name]) << name.toStdString();
      }
    }
  }
}

TEST(Unarj32j, HostileNamesStayInsideTheOutputFolder) {
  TempFolder temp;
  const QString out = temp.mkdir("a/b/out");
  temp.write("a/sentinel.txt", "sentinel");
  std::string report;
  EXPECT_EQ(Extract(Sample("hostile/arj_paths.arj"), out, "x -+", &report), kErrUnsafeName) << report;
  for (const QString& entry : testing_support::Tree(temp.path()))
    EXPECT_TRUE(entry.startsWith("a/b/out/") || entry == "a/" || entry == "a/b/" || entry == "a/sentinel.txt")
        << entry.toStdString();
  EXPECT_EQ(testing_support::ReadFile(temp.file("a/sentinel.txt")), "sentinel");
  EXPECT_TRUE(QFileInfo(out + "/ok.txt").isFile());
  EXPECT_FALSE(QFileInfo::exists("/tmp/evil_absolute.txt") &&
               QFileInfo("/tmp/evil_absolute.txt").lastModified().secsTo(QDateTime::currentDateTime()) < 60);
}

TEST(Unarj32j, GarbledMembersAreRefusedAndTheOthersExtracted) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  temp.write("src/plain.txt", "anyone may read this\n");
  temp.write("src/secret.txt", "only with the password\n");
  temp.write("src/after.txt", "added after the secret\n");
  const QString archive = temp.file("g.arj");
  ASSERT_TRUE(Arj(src, {"a", "-y", archive, "plain.txt"}));
  ASSERT_TRUE(Arj(src, {"a", "-y", "-gpassword", archive, "secret.txt"}));
  ASSERT_TRUE(Arj(src, {"a", "-y", archive, "after.txt"}));
  const QString out = temp.mkdir("out");
  std::string report;
  EXPECT_EQ(Extract(archive, out, "x -+", &report), kErrEncrypted);
  EXPECT_EQ(testing_support::Tree(out), QStringList({"after.txt", "plain.txt"}));
  EXPECT_NE(report.find("secret.txt"), std::string::npos) << report;
}

// A set of four volumes: the first holds a whole small file and the start of
// a big one; the middle ones only parts; nothing partial is ever written.
TEST(Unarj32j, MultiVolumeMembersAreRefusedAndWholeOnesExtracted) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  temp.write("src/small.txt", "fits in the first volume\n");
  QByteArray big;
  for (uint32_t i = 0; i < 300000; ++i) big.append(static_cast<char>((i * 7919u) >> 3));
  temp.write("src/big.bin", big);
  ASSERT_TRUE(Arj(src, {"a", "-y", "-m0", "-v100k", temp.file("set.arj"), "small.txt", "big.bin"}));
  ASSERT_TRUE(QFileInfo::exists(temp.file("set.a01")));

  const QString first = temp.mkdir("first");
  std::string report;
  EXPECT_EQ(Extract(temp.file("set.arj"), first, "x -+", &report), kErrMultiVolume);
  EXPECT_EQ(testing_support::Tree(first), QStringList({"small.txt"}));
  EXPECT_NE(report.find("big.bin"), std::string::npos) << report;

  const QString middle = temp.mkdir("middle");
  EXPECT_EQ(Extract(temp.file("set.a01"), middle), kErrMultiVolume);
  EXPECT_TRUE(testing_support::Tree(middle).isEmpty());
}

TEST(Unarj32j, ExtractsASelfExtractingFileMadeByArj) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  temp.write("src/readme.txt", "self-extracting\n");
  temp.write("src/data/values.bin", QByteArray(70000, 'v'));
  const QString sfx = temp.file("setup.exe");
  ASSERT_TRUE(Arj(src, {"a", "-y", "-r", "-je", sfx, "*"}));
  EXPECT_EQ(Module().checkArchive(sfx.toStdString()), 1);
  const QString out = temp.mkdir("out");
  std::string report;
  EXPECT_EQ(Extract(sfx, out, "x -+", &report), kOk) << report;
  EXPECT_TRUE(Contents(out) == Contents(src));
}

TEST(Unarj32j, CheckArchiveClaimsOnlyWholeArjArchives) {
  struct Row {
    const char* file;
    int32_t expected;
  };
  const Row rows[] = {
      {"arj/m0.arj", 1},           {"arj/jpnames.arj", 1},          {"arj/sfx_elf.exe", 1},
      {"arj/sfx_mz.exe", 1},       {"arj/sfx_pe.exe", 1},           {"damaged/arj_m1_flip.arj", 1},
      {"damaged/arj_m4_trunc.arj", 0}, {"damaged/arj_hdrcrc.arj", 0}, {"sfx/stub_only.exe", 0},
      {"sfx/zip_sfx_adj.exe", 0},  {"sfx/cab_sfx_small.exe", 0},    {"sfx/rar4_sfx_winrar.exe", 0},
      {"lzh/sfx_mz.exe", 0},   {"damaged/empty.lzh", 0},        {"arj", 0},
  };
  for (const Row& row : rows) EXPECT_EQ(Module().checkArchive(Sample(row.file).toStdString()), row.expected) << row.file;
  EXPECT_EQ(Module().checkArchive((testing_support::DataDir() + "/no/such/file.arj").toStdString()), 0);
  EXPECT_EQ(Module().checkArchive(""), 0);
}

TEST(Unarj32j, CommandForms) {
  struct Row {
    const char* name;
    std::string options;
    std::string members;
    int32_t code;
    QStringList tree;
  };
  const QStringList all = {"empty.dat", "rand.bin", "small.txt", "sub/", "sub/inner.txt", "text.txt"};
  const Row rows[] = {
      {"default text", "x -+", "", kOk, all},
      {"no word", "", "", kOk, all},
      {"two members", "x", "\"small.txt\" \"empty.dat\"", kOk, {"empty.dat", "small.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder temp;
    const QString out = temp.mkdir("out");
    std::string report;
    EXPECT_EQ(Extract(Sample("arj/m1.arj"), out, row.options, &report, row.members), row.code) << report;
    EXPECT_EQ(testing_support::Tree(out), row.tree);
  }
}

TEST(Unarj32j, AStubWithoutAnArchiveIsNotAnArchive) {
  TempFolder temp;
  const QString out = temp.mkdir("out");
  EXPECT_EQ(Extract(Sample("sfx/stub_only.exe"), out), kErrNotArchive);
  EXPECT_TRUE(testing_support::Tree(out).isEmpty());
}

namespace {

struct ProgressLog {
  std::vector<std::pair<uint64_t, uint64_t>> calls;
  int32_t runningSeen = 0;
  int32_t (*getRunning)() = nullptr;
};

void RecordProgress(void* context, uint64_t done, uint64_t total) {
  auto* log = static_cast<ProgressLog*>(context);
  log->calls.emplace_back(done, total);
  log->runningSeen = log->getRunning();
}

}  // namespace

TEST(Unarj32j, EntryPointsReportVersionRunningAndProgress) {
  EXPECT_EQ(Module().version(), 100);
  EXPECT_EQ(Module().running(), 0);
  auto setProgress = reinterpret_cast<void (*)(RkProgressFn, void*)>(Module().symbol("UnarjSetProgress"));
  ASSERT_NE(setProgress, nullptr);
  ProgressLog log;
  log.getRunning = reinterpret_cast<int32_t (*)()>(Module().symbol("UnarjGetRunning"));
  setProgress(RecordProgress, &log);
  TempFolder temp;
  EXPECT_EQ(Extract(Sample("arj/sfx_pe.exe"), temp.mkdir("out")), kOk);
  setProgress(nullptr, nullptr);
  const uint64_t size = static_cast<uint64_t>(QFileInfo(Sample("arj/sfx_pe.exe")).size());
  ASSERT_FALSE(log.calls.empty());
  EXPECT_EQ(log.calls.back(), std::make_pair(size, size));
  EXPECT_EQ(log.runningSeen, 1);
  EXPECT_EQ(Module().running(), 0);
}

TEST(Unarj32j, KeepsFoldersPermissionsAndTimes) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  temp.mkdir("src/empty");
  const QString tool = temp.write("src/bin/tool.sh", "#!/bin/sh\n");
  ASSERT_EQ(::chmod(tool.toLocal8Bit().constData(), 0755), 0);
  const int64_t when = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC).toSecsSinceEpoch();
  const struct utimbuf times {static_cast<time_t>(when), static_cast<time_t>(when)};
  ASSERT_EQ(::utime(tool.toLocal8Bit().constData(), &times), 0);
  ASSERT_TRUE(Arj(src, {"a", "-y", "-r", "-a1", temp.file("d.arj"), "*"}));

  const QString out = temp.mkdir("out");
  EXPECT_EQ(Extract(temp.file("d.arj"), out), kOk);
  EXPECT_EQ(testing_support::Tree(out), QStringList({"bin/", "bin/tool.sh", "empty/"}));
  struct stat st {};
  ASSERT_EQ(::stat((out + "/bin/tool.sh").toLocal8Bit().constData(), &st), 0);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0755 & ~mask);
  EXPECT_EQ(st.st_mtime, when);
}

// Names and times follow the host that made the archive: the CP932 bytes of
// "ﾃｽ" (C3 BD) are also valid UTF-8 ("ý"), so only the host tells them apart.
TEST(Unarj32j, DosArchivesHaveCp932NamesAndLocalTimes) {
  RK_REQUIRE_PROGRAM("arj");
  TempFolder temp;
  const QString src = temp.mkdir("src");
  WriteCp932Named(src, "ﾃｽ.txt", "half-width katakana\n");
  ASSERT_TRUE(Arj(src, {"a", "-y", temp.file("unix.arj"), "*"}));
  const QDateTime local(QDate(2003, 4, 5), QTime(6, 7, 8), Qt::LocalTime);
  temp.write("dos.arj", AsMadeOnDos(testing_support::ReadFile(temp.file("unix.arj")), local));

  struct Row {
    const char* archive;
    QString name;
  };
  for (const Row& row : {Row{"unix.arj", "ý.txt"}, Row{"dos.arj", "ﾃｽ.txt"}}) {
    SCOPED_TRACE(row.archive);
    const QString out = temp.mkdir(QString("out-") + row.archive);
    std::string report;
    EXPECT_EQ(Extract(temp.file(row.archive), out, "x", &report), kOk) << report;
    EXPECT_EQ(testing_support::Tree(out), QStringList({row.name}));
    if (std::string(row.archive) == "dos.arj") {
      EXPECT_EQ(QFileInfo(out + "/" + row.name).lastModified().toSecsSinceEpoch(), local.toSecsSinceEpoch());
    }
  }
}
