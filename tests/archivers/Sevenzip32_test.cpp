// SEVENZIP32.DLL loaded by file name, over 7z archives made here with 7zz:
// every method and filter the module names in both locales, with names that
// CP932 holds, an empty file, an empty folder and a symbolic link; damaged,
// cut and encrypted archives refused with nothing half written; and the
// archive behind a self-extracting stub.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"

namespace {

using testing_support::ModuleBench;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::Tree;

const testing_support::TestModule& SevenZip() {
  static const testing_support::TestModule module("SEVENZIP32.DLL", "SevenZip");
  return module;
}

// Characters a Japanese Windows system names files with: 0x5C trail bytes
// in CP932 (表, 能, ソ) and the ones whose Unicode differs between mappings (～, ①, 髙).
const QStringList kSourceTree = {"README.TXT", "data.bin", "empty/", "link", "zero.bin", "表/", "表/能ソ.txt",
                                 "～①髙.txt"};

// The files every archive here is made from, in `temp`/src.
QString MakeSource(const TempFolder& temp) {
  QByteArray data;
  for (int i = 0; i < 300 * 1024; ++i) data += static_cast<char>((i % 251) ^ ((i / 4096) * 37));
  temp.write("src/README.TXT", "read me\r\n");
  temp.write("src/data.bin", data);
  temp.write("src/zero.bin", {});
  temp.write("src/表/能ソ.txt", "cp932");
  temp.write("src/～①髙.txt", "wave");
  temp.mkdir("src/empty");
  QFile::link("README.TXT", temp.file("src/link"));
  return temp.file("src");
}

// 7zz a [switches] ARCHIVE * in the source folder; empty on failure.
QString Make7z(const TempFolder& temp, const QString& name, const QStringList& switches) {
  const QString src = temp.file("src");
  if (!QFileInfo::exists(src)) MakeSource(temp);
  QByteArray output;
  const QStringList arguments =
      QStringList{"a", "-bso0", "-bsp0", "-snl"} + switches + QStringList{temp.file(name), "."};
  if (testing_support::Run("7zz", arguments, src, &output) != 0) {
    ADD_FAILURE() << output.toStdString();
    return {};
  }
  return temp.file(name);
}

// The differences between an extracted tree and the source: a file whose
// content is not the source's, or a link that points elsewhere.
QString Differences(const QString& out, const QString& src) {
  QStringList problems;
  for (const QString& entry : Tree(out)) {
    const QFileInfo got(out + "/" + entry), want(src + "/" + entry);
    if (got.isSymLink()) {
      if (got.symLinkTarget() != QFileInfo(out + "/README.TXT").absoluteFilePath()) problems << entry + " link";
    } else if (got.isFile() && ReadFile(got.filePath()) != ReadFile(want.filePath())) {
      problems << entry;
    }
  }
  return problems.join(", ");
}

class Sevenzip32 : public testing::Test {
 protected:
  void SetUp() override {
    RK_REQUIRE_PROGRAM("7zz");
    ASSERT_TRUE(SevenZip().loaded()) << SevenZip().error();
  }
  TempFolder temp;
};

TEST_F(Sevenzip32, EveryMethodAndFilterExtractsExactlyInEitherLocale) {
  const struct {
    const char* row;
    QStringList switches;
  } rows[] = {
      {"LZMA2, solid", {}},
      {"LZMA", {"-m0=LZMA"}},
      {"PPMd", {"-m0=PPMd"}},
      {"BZip2", {"-m0=BZip2"}},
      {"Deflate", {"-m0=Deflate"}},
      {"stored", {"-m0=Copy"}},
      {"BCJ", {"-mf=BCJ"}},
      {"BCJ2", {"-mf=BCJ2", "-m0=LZMA"}},
      {"one block per file", {"-ms=off"}},
      {"Deflate64", {"-m0=Deflate64"}},
      {"ARM on LZMA", {"-mf=ARM", "-m0=LZMA"}},
      {"ARM-Thumb", {"-mf=ARMT"}},
      {"PowerPC", {"-mf=PPC"}},
      {"SPARC", {"-mf=SPARC"}},
      {"ARM64", {"-mf=ARM64"}},
      {"Delta", {"-mf=Delta:4"}},
      {"BCJ on Deflate", {"-m0=BCJ", "-m1=Deflate"}},
      {"BCJ on Copy, plain header", {"-m0=BCJ", "-m1=Copy", "-mhc=off"}},
      {"BCJ2 on LZMA2", {"-mf=BCJ2"}},
      {"four filters on LZMA", {"-m0=ARM", "-m1=PPC", "-m2=SPARC", "-m3=ARMT", "-m4=LZMA"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const QString archive = Make7z(temp, QString(row.row).replace(' ', '_') + ".7z", row.switches);
    EXPECT_EQ(SevenZip().checkArchive(archive.toStdString()), 1);
    testing_support::ForEachLocale([&](const char*) {
      ModuleBench bench(SevenZip());
      EXPECT_EQ(bench.extract("x", archive), rkarc::kOk) << bench.report();
      EXPECT_EQ(Tree(bench.out()), kSourceTree);
      EXPECT_EQ(Differences(bench.out(), temp.file("src")), "");
      EXPECT_TRUE(QFileInfo(bench.out() + "/link").isSymLink());
    });
  }
}

// Damage in the headers and encryption are known before anything is
// written; damage in the data fails the members it hits, and no member is
// ever written with data that did not pass its CRC.
TEST_F(Sevenzip32, DamagedCutAndEncryptedArchivesFailWithNothingHalfWritten) {
  const QByteArray good = ReadFile(Make7z(temp, "good.7z", {}));
  const QByteArray stored = ReadFile(Make7z(temp, "stored.7z", {"-m0=Copy"}));
  const QString encrypted = Make7z(temp, "enc.7z", {"-psecret"});
  const QByteArray deflate64 = ReadFile(Make7z(temp, "d64.7z", {"-m0=Deflate64"}));
  const QString hidden = Make7z(temp, "henc.7z", {"-psecret", "-mhe=on"});
  const QString bcj = Make7z(temp, "bcj.7z", {"-psecret", "-mf=BCJ", "-m0=LZMA", "-ms=off"});
  const QString japanese = Make7z(temp, "jp.7z", {"-p秘密", "-mhe=on"});  // UTF-16 of the password
  using Passwords = std::optional<std::vector<std::string>>;
  const auto set = reinterpret_cast<int32_t (*)(const char* const*, int32_t)>(SevenZip().symbol("SevenZipSetPasswords"));
  ASSERT_NE(set, nullptr);
  const qsizetype inData = stored.indexOf("cp932");
  ASSERT_GT(inData, 0);
  const struct {
    const char* row;
    QString archive;
    int32_t code;
    const char* reason;
    bool nothingWritten;
    Passwords passwords = std::nullopt;  // password mode: these are tried; on success all is written
  } rows[] = {
      {"cut in half", temp.write("cut.7z", good.left(good.size() / 2)), rkarc::kErrDamaged, nullptr, true},
      {"last byte missing", temp.write("short.7z", good.chopped(1)), rkarc::kErrDamaged, nullptr, true},
      {"start header damaged", temp.write("start.7z", QByteArray(good).replace(20, 1, "\xEE")), rkarc::kErrDamaged,
       nullptr, true},
      {"last header damaged", temp.write("end.7z", QByteArray(good).replace(good.size() - 10, 1, "\xEE")),
       rkarc::kErrDamaged, nullptr, true},
      {"a member's data damaged", temp.write("data.7z", QByteArray(stored).replace(inData, 1, "C")),
       rkarc::kErrChecksum, "表/能ソ.txt: CRCが一致しません", false},
      {"compressed data damaged", temp.write("lzma.7z", QByteArray(good).replace(100, 4, "\xEE\xEE\xEE\xEE")), 0,
       nullptr, false},
      {"Deflate64 data damaged", temp.write("d64x.7z", QByteArray(deflate64).replace(200, 4, "\xEE\xEE\xEE\xEE")), 0,
       nullptr, false},
      {"encrypted members", encrypted, rkarc::kErrEncrypted, "README.TXT: 暗号化されています（パスワードが必要です）",
       false},
      {"encrypted headers", hidden, rkarc::kErrEncrypted, "書庫のヘッダーが暗号化されています（パスワードが必要です）",
       true},
      {"the right password second", encrypted, 0, nullptr, false, Passwords{{"Secret", "secret"}}},
      {"encrypted headers, right password", hidden, 0, nullptr, false, Passwords{{"secret"}}},
      {"BCJ on LZMA, right password", bcj, 0, nullptr, false, Passwords{{"secret"}}},
      {"a password in Japanese", japanese, 0, nullptr, false, Passwords{{"秘", "秘密"}}},
      {"wrong passwords", encrypted, rkarc::kErrWrongPassword, "パスワードが違います", true, Passwords{{"x", "秘密"}}},
      {"encrypted headers, wrong password", hidden, rkarc::kErrWrongPassword, "パスワードが違います", true,
       Passwords{{"x"}}},
      {"encrypted headers, no password", hidden, rkarc::kErrEncrypted, nullptr, true, std::vector<std::string>{}},
      {"no 7z at all", temp.write("text.7z", "7z is not here"), rkarc::kErrNotArchive, "7z書庫ではありません", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    std::vector<const char*> list;
    for (const std::string& p : row.passwords.value_or(std::vector<std::string>{})) list.push_back(p.c_str());
    list.push_back(nullptr);
    set(row.passwords ? list.data() : nullptr, static_cast<int32_t>(list.size() - 1));
    ModuleBench bench(SevenZip());
    const int32_t rc = bench.extract("x", row.archive);
    set(nullptr, 0);
    if (row.passwords && row.code == 0) {
      EXPECT_EQ(rc, rkarc::kOk) << bench.report();
      EXPECT_EQ(Tree(bench.out()), kSourceTree);
    } else if (row.code != 0) {
      EXPECT_EQ(rc, row.code) << bench.report();
    } else {
      EXPECT_TRUE(rkarc::IsFailure(rc)) << rc << " " << bench.report();
    }
    if (row.reason) {
      EXPECT_NE(bench.report().find(std::string("reason\t") + row.reason + "\n"), std::string::npos) << bench.report();
    }
    if (row.nothingWritten) {
      EXPECT_EQ(Tree(bench.out()), QStringList());
    }
    EXPECT_EQ(Differences(bench.out(), temp.file("src")), "");
    EXPECT_FALSE(Tree(bench.out()).join(",").contains(".rukasu2-"));
    EXPECT_TRUE(bench.outside().isEmpty());
  }
}

// An empty 7z whose header holds archive properties and nothing else.
QByteArray EmptyWithProperties() {
  const QByteArray header("\x01\x02\x19\x01\x00\x00\x00", 7);
  const auto le = [](uint64_t v, int n) {
    QByteArray b;
    for (int i = 0; i < n; ++i) b += static_cast<char>(v >> (8 * i));
    return b;
  };
  const auto crc = [](const QByteArray& b) {
    return ::crc32(0, reinterpret_cast<const Bytef*>(b.constData()), static_cast<uInt>(b.size()));
  };
  const QByteArray next = le(0, 8) + le(header.size(), 8) + le(crc(header), 4);
  return QByteArray("7z\xBC\xAF\x27\x1C\x00\x04", 8) + le(crc(next), 4) + next + header;
}

// Archives other tools make, and members 7z keeps in ways of their own:
// whatever can be read is written, each refusal names its reason.
TEST_F(Sevenzip32, ArchivesOfOtherToolsAndMembersThatCannotBeRead) {
  RK_REQUIRE_PROGRAM("py7zr");
  MakeSource(temp);
  const struct {
    const char* row;
    const char* script;  // run in src; makes ../README.TXT.7z
    int32_t code;
    const char* reason;
    QStringList tree;
  } rows[] = {
      {"py7zr: modes without type bits", "py7zr c ../README.TXT.7z README.TXT data.bin", 0, nullptr,
       {"README.TXT", "data.bin"}},
      {"a member without a name", "7zz a -bso0 -si ../README.TXT.7z < README.TXT", 0, nullptr, {"README.TXT"}},
      {"partly encrypted", "7zz a -bso0 ../README.TXT.7z README.TXT && 7zz a -bso0 -pp ../README.TXT.7z data.bin",
       rkarc::kErrEncrypted, "data.bin: 暗号化されています（パスワードが必要です）", {"README.TXT"}},
      {"RISC-V filter", "7zz a -bso0 -mf=RISCV ../README.TXT.7z data.bin", rkarc::kErrUnsupported,
       "data.bin: 対応していない圧縮方式です（RISC-V）", {}},
      {"empty, with archive properties", nullptr, 0, nullptr, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    QFile::remove(temp.file("README.TXT.7z"));
    if (row.script) {
      ASSERT_EQ(testing_support::Run("sh", {"-c", row.script}, temp.file("src")), 0);
    } else {
      temp.write("README.TXT.7z", EmptyWithProperties());
    }
    ModuleBench bench(SevenZip());
    EXPECT_EQ(bench.extract("x", temp.file("README.TXT.7z")), row.code) << bench.report();
    if (row.reason) {
      EXPECT_NE(bench.report().find(std::string("reason\t") + row.reason + "\n"), std::string::npos) << bench.report();
    }
    EXPECT_EQ(Tree(bench.out()), row.tree);
    EXPECT_EQ(Differences(bench.out(), temp.file("src")), "");
  }
}

// The archive after a stub, small or past the first chunk that the search
// reads, with the signature also in the stub's code; the stub's image end
// is only where the search begins.
TEST_F(Sevenzip32, FindsTheArchiveBehindAStub) {
  const QByteArray archive = ReadFile(Make7z(temp, "a.7z", {}));
  const QByteArray decoy = QByteArray("7z\xBC\xAF\x27\x1C", 6) + QByteArray(26, '\x01');
  for (const int size : {4096, 1536 * 1024}) {
    SCOPED_TRACE(size);
    QByteArray stub = testing_support::ExecutableStub(size);
    stub.replace(size / 2, decoy.size(), decoy);
    // Bytes after the archive's end are passed over, and the archive is kept.
    const QByteArray tail = size == 4096 ? "bytes after the end" : "";
    const QString sfx = temp.write(QString("sfx%1.exe").arg(size), stub + archive + tail);
    EXPECT_EQ(SevenZip().checkArchive(sfx.toStdString()), 1);
    ModuleBench bench(SevenZip());
    EXPECT_EQ(bench.extract("x", sfx), rkarc::kOk) << bench.report();
    EXPECT_EQ(Tree(bench.out()), kSourceTree);
    EXPECT_EQ(bench.report().find("keep\t書庫の後ろに余分なデータがあります\n") != std::string::npos, !tail.isEmpty())
        << bench.report();
  }
  EXPECT_EQ(SevenZip().checkArchive(temp.write("plain.exe", testing_support::ExecutableStub(8192)).toStdString()), 0);
}

}  // namespace
