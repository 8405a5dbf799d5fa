// UNLHA32.DLL on archives made here with jlha (header levels 0-2, -lh5- to
// -lh7-, CP932 names, members of a few MB), a self-extractor's own archive,
// progress, and a destination that runs out of space.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/LzhTestArchive.h"
#include "tests/support/FaultFolder.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

const testing_support::TestModule& Module() {
  static const testing_support::TestModule module("UNLHA32.DLL", "Unlha");
  return module;
}

int32_t Extract(const QString& archive, const QString& out, const std::string& options = "x -+",
                std::string* report = nullptr) {
  const std::string command = options + " \"" + archive.toStdString() + "\" \"" + out.toStdString() + "/\"";
  return Module().command(command, report);
}

// Text that compresses well, and bytes that do not, of a given size.
QByteArray Text(int size) {
  QByteArray out;
  for (int line = 0; out.size() < size; ++line)
    out += QString("%1行目: 解凍テスト the quick brown fox %2\r\n").arg(line).arg(line * 7919 % 1000).toUtf8();
  out.truncate(size);
  return out;
}

QByteArray Noise(int size, uint32_t seed) {
  QByteArray out(size, '\0');
  for (int i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<char>(seed >> 24);
  }
  return out;
}

// Source files for jlha; the Japanese folder and name hold 0x5C trail bytes
// (表, ソ) once written in CP932.
struct Source {
  TempFolder folder;
  std::vector<std::pair<QString, QByteArray>> files = {
      {"text.txt", Text(3 << 20)},
      {"noise.bin", Noise(1 << 20, 7)},
      {"empty.dat", {}},
      {QString::fromUtf8("表示/ソフト一覧.txt"), Text(20000)},
  };
  Source() {
    for (const auto& [name, data] : files) folder.write(name, data);
  }
  QStringList names() const {
    QStringList out;
    for (const auto& f : files) out << f.first;
    return out;
  }
};

// Makes an archive with jlha ("a" + flags); empty when jlha is missing or fails.
QString MakeArchive(const Source& source, const QString& flags, const QString& name) {
  qputenv("LANG", "C.UTF-8");  // jlha reads the Japanese source names through the locale
  QByteArray output;
  const QString archive = source.folder.file(name);
  const int rc = testing_support::Run("jlha", QStringList{"a" + flags, archive} + source.names(),
                                      source.folder.path(), &output);
  return rc == 0 && QFileInfo::exists(archive) ? archive : QString();
}

struct Made {
  const char* flags;   // jlha's: header level, method, "y" for CP932 names; null: built here
  const char* method;  // what the archive must then hold
};

TEST(Unlha32Made, JlhaArchivesOfEveryLevelAndMethodExtractByteForByte) {
  RK_REQUIRE_PROGRAM("jlha");
  const Source source;
  const Made cases[] = {{"0o5yq", "-lh5-"}, {"1o6yq", "-lh6-"}, {"2o7yq", "-lh7-"}, {"1zyq", "-lh0-"}};
  for (const Made& c : cases) {
    SCOPED_TRACE(c.flags);
    const QString archive = MakeArchive(source, c.flags, QString("made_%1.lzh").arg(c.flags));
    ASSERT_FALSE(archive.isEmpty());
    ASSERT_TRUE(ReadFile(archive).contains(c.method));
    TempFolder out;
    std::string report;
    ASSERT_EQ(Extract(archive, out.path(), "x -+", &report), rkarc::kOk) << report;
    for (const auto& [name, data] : source.files) {
      const QString path = out.file(name);
      EXPECT_TRUE(QFileInfo(path).isFile()) << name.toStdString();
      EXPECT_TRUE(ReadFile(path) == data) << name.toStdString();
    }
    EXPECT_EQ(testing_support::Tree(out.path()).size(), 5);  // four files and the Japanese folder
  }
}

// One below, at and one above every power of two up to 4 MiB: the decoders
// and their block-wise reading must not care where a member ends. Every
// member is a prefix of one text that repeats every 1,000 bytes with a
// changed byte now and then, so the encoders find copies and literals.
std::vector<int> LengthsAroundPowersOfTwo() {
  std::vector<int> out{0};
  for (int bit = 0; bit <= 22; ++bit)
    for (int length : {(1 << bit) - 1, 1 << bit, (1 << bit) + 1})
      if (length > out.back()) out.push_back(length);
  return out;
}

QByteArray Repeating(int size) {
  const QByteArray period = Noise(1000, 11);
  QByteArray out(size, '\0');
  for (int i = 0; i < size; ++i) out[i] = i % 997 == 5 ? static_cast<char>(i >> 3) : period[i % 1000];
  return out;
}

QString LengthName(int length) { return QString("len%1.bin").arg(length, 7, 10, QChar('0')); }

// The archive of every length in `method`: made by jlha (`flags`), or built
// here for the methods no tool makes.
QString LengthsArchive(const TempFolder& tmp, const QByteArray& text, const char* method, const char* flags) {
  const QString name = QString("lengths%1.lzh").arg(QString(method).mid(1, 3));
  QByteArray archive;
  QStringList files;
  for (int length : LengthsAroundPowersOfTwo()) {
    const QByteArray data = text.left(length);
    if (flags) {
      tmp.write(LengthName(length), data);
      files << LengthName(length);
      continue;
    }
    testing_support::LzhTestMember member{LengthName(length).toLatin1(), data, 0, {}, 0};
    member.method = method;
    if (QByteArray(method) == "-lz5-") member.packed = testing_support::Lz5Stream(data, 1000);
    if (QByteArray(method) == "-lzs-") member.packed = testing_support::LzsStream(data, 1000);
    archive += testing_support::LzhLevel0(member);
  }
  if (!flags) return tmp.write(name, archive + QByteArray(1, '\0'));
  const int rc = testing_support::Run("jlha", QStringList{QString("a") + flags, name} + files, tmp.path());
  for (const QString& file : files) QFile::remove(tmp.file(file));
  return rc == 0 ? tmp.file(name) : QString();
}

TEST(Unlha32Made, MembersOfEveryLengthAroundAPowerOfTwoExtractInEveryMethod) {
  RK_REQUIRE_PROGRAM("jlha");
  const QByteArray text = Repeating((1 << 22) + 1);
  const Made methods[] = {{"zq", "-lh0-"},      {"o5q", "-lh5-"},     {"o6q", "-lh6-"},     {"o7q", "-lh7-"},
                          {nullptr, "-lz5-"},   {nullptr, "-lzs-"},   {nullptr, "-lz4-"},   {nullptr, "-pm0-"}};
  for (const Made& m : methods) {
    SCOPED_TRACE(m.method);
    TempFolder tmp;
    const QString archive = LengthsArchive(tmp, text, m.method, m.flags);
    ASSERT_FALSE(archive.isEmpty());
    ASSERT_TRUE(ReadFile(archive).contains(m.method));
    TempFolder out;
    std::string report;
    ASSERT_EQ(Extract(archive, out.path(), "x -+", &report), rkarc::kOk) << report;
    for (int length : LengthsAroundPowersOfTwo())
      EXPECT_TRUE(ReadFile(out.file(LengthName(length))) == text.left(length)) << length;
  }
}

// An Amiga self-extractor carries its usage text in an archive inside its own
// image: the archive after the image is the one extracted, also when the
// image's end is unknown, and a file that holds only the stub's archive says so.
TEST(Unlha32Made, ASelfExtractorsOwnArchiveIsNotTheArchive) {
  const QByteArray stub =
      testing_support::AmigaStub(testing_support::LzhLevel0({"usage.txt", "Usage: run me", 0, {}, 0}) + '\0');
  const QByteArray real = testing_support::LzhLevel0({"data.txt", "the archive", 0, {}, 0}) + '\0';
  // A hunk kind the image walk does not know (HUNK_RELOC32SHORT) hides where the image ends.
  const QByteArray unwalked = stub.left(stub.size() - 4) + QByteArray("\0\0\x03\xFC", 4);
  const struct {
    QByteArray file;
    int32_t rc;
    QStringList tree;
    std::string reason;
  } rows[] = {{stub + real, rkarc::kOk, {"data.txt"}, ""},
              {stub, rkarc::kErrNotArchive, {}, "自己解凍ファイルの実行部分にある書庫しか見つかりません"},
              {unwalked + real, rkarc::kOk, {"data.txt"}, ""},
              {unwalked, rkarc::kErrNotArchive, {}, "自己解凍ファイルの実行部分にある書庫しか見つかりません"}};
  for (const auto& row : rows) {
    TempFolder tmp, out;
    std::string report;
    EXPECT_EQ(Extract(tmp.write("sfx.run", row.file), out.path(), "x -+", &report), row.rc) << report;
    EXPECT_EQ(testing_support::Tree(out.path()), row.tree);
    if (row.rc != rkarc::kOk) {
      EXPECT_EQ(report.substr(0, report.find('\n')), "reason\t" + row.reason);
    }
  }
}

TEST(Unlha32Made, UnsupportedMemberIsReportedAndTheOthersStillExtract) {
  testing_support::LzhTestMember unknown{"old.txt", "not really lh8", 0, {}, 0};
  unknown.method = "-lh8-";
  TempFolder tmp;
  const QString archive = tmp.write("mixed.lzh", testing_support::LzhLevel0({"a.txt", "first", 0, {}, 0}) +
                                                     testing_support::LzhLevel0(unknown) +
                                                     testing_support::LzhLevel0({"b.txt", "last", 0, {}, 0}));
  TempFolder out;
  std::string report;
  EXPECT_EQ(Extract(archive, out.path(), "x -+", &report), rkarc::kErrUnsupported);
  EXPECT_NE(report.find("old.txt"), std::string::npos) << report;
  EXPECT_EQ(testing_support::Tree(out.path()), (QStringList{"a.txt", "b.txt"}));
}

struct ProgressLog {
  std::vector<std::pair<uint64_t, uint64_t>> calls;
  int32_t runningSeen = 0;
};

void OnProgress(void* context, uint64_t done, uint64_t total) {
  auto* log = static_cast<ProgressLog*>(context);
  log->calls.emplace_back(done, total);
  log->runningSeen = Module().running();
}

TEST(Unlha32Made, ReportsProgressUpToTheArchiveSizeWhileCountingAsRunning) {
  using SetProgress = void (*)(void (*)(void*, uint64_t, uint64_t), void*);
  const auto set = reinterpret_cast<SetProgress>(Module().symbol("UnlhaSetProgress"));
  ASSERT_NE(set, nullptr);
  ProgressLog log;
  set(&OnProgress, &log);
  const QString archive = testing_support::Sample("lzh/sfx_mz_96k.exe");
  TempFolder out;
  EXPECT_EQ(Extract(archive, out.path()), rkarc::kOk);
  set(nullptr, nullptr);
  ASSERT_FALSE(log.calls.empty());
  const auto size = static_cast<uint64_t>(QFileInfo(archive).size());
  EXPECT_EQ(log.calls.back(), std::make_pair(size, size));
  EXPECT_EQ(log.runningSeen, 1);
  EXPECT_EQ(Module().running(), 0);
}

// A member larger than the space left: the run stops with the disk-full code,
// the member before it stays and no partial file is left behind.
TEST(Unlha32Made, FullDiskStopsTheRunWithoutPartialFiles) {
  const std::string out = testing_support::FaultFolder(testing_support::FaultMount::TinyTmpfs);
  if (out.empty()) return;
  TempFolder tmp;
  const QString archive = tmp.write("big.lzh", testing_support::LzhLevel0({"small.txt", "hello", 0, {}, 0}) +
                                                   testing_support::LzhLevel0({"big.bin", Noise(3 << 20, 1), 0, {}, 0}) +
                                                   testing_support::LzhLevel0({"after.txt", "x", 0, {}, 0}));
  std::string report;
  EXPECT_EQ(Extract(archive, QString::fromStdString(out), "x -+", &report), rkarc::kErrDiskFull) << report;
  EXPECT_EQ(testing_support::Tree(QString::fromStdString(out)), QStringList{"small.txt"});
}

}  // namespace
