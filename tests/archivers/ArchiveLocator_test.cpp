// Finding an LZH archive behind executable stubs of any size, past decoy
// headers, and not inside another archive kind; and reading on past damage
// and trailing bytes without losing members or reporting false failures.
#include <gtest/gtest.h>

#include <QStringList>

#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhReader.h"
#include "tests/archivers/LzhTestArchive.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::ExecutableImage;
using rkarc::LzhReader;
using testing_support::LzhLevel0;
using testing_support::LzhLevel2;

// Three stored members, level 0 and level 2 mixed.
QByteArray Archive() {
  return LzhLevel0({"one.txt", "first member", 0, {}, 0}) + LzhLevel2({"two.txt", "second", 'U', {}, 0}) +
         LzhLevel0({"three.txt", "third member", 0, {}, 0}) + QByteArray(1, '\0');
}

struct Walk {
  bool found = false;
  uint64_t offset = 0;
  ExecutableImage::Kind stub = ExecutableImage::Kind::None;
  QStringList members;
  QStringList damage;
  uint64_t trailing = 0;
};

Walk WalkBytes(const QByteArray& bytes) {
  testing_support::TempFolder tmp;
  rkarc::ArchiveFile file;
  EXPECT_TRUE(file.open(tmp.write("f.exe", bytes).toStdString()));
  LzhReader reader(file);
  Walk w;
  w.found = reader.open();
  if (!w.found) return w;
  w.offset = reader.location().offset;
  w.stub = reader.location().stub;
  for (auto e = reader.next(); e.kind != LzhReader::Entry::Kind::End; e = reader.next()) {
    if (e.kind == LzhReader::Entry::Kind::Member)
      w.members << QString::fromStdString(e.header.fileName);
    else
      w.damage << QString::fromStdString(e.reason);
  }
  w.trailing = reader.trailingBytes();
  return w;
}

const QStringList kAll = {"one.txt", "two.txt", "three.txt"};

struct StubCase {
  const char* what;
  QByteArray stub;
  ExecutableImage::Kind kind;
};

TEST(ArchiveLocator, FindsTheArchiveWhereTheExecutableImageEnds) {
  const StubCase cases[] = {
      {"MS-DOS, 3 KB", testing_support::MzStub(3000), ExecutableImage::Kind::MsDos},
      // Far beyond any scan window: only the image end finds it.
      {"MS-DOS, 6 MiB", testing_support::MzStub(6 << 20), ExecutableImage::Kind::MsDos},
      {"Windows PE", testing_support::PeStub(40960), ExecutableImage::Kind::Windows},
      {"X68000", testing_support::HuStub(4000), ExecutableImage::Kind::X68000},
      {".COM without header", QByteArray(1500, '\xEB'), ExecutableImage::Kind::None},
  };
  for (const StubCase& c : cases) {
    const Walk w = WalkBytes(c.stub + Archive());
    EXPECT_TRUE(w.found) << c.what;
    EXPECT_EQ(w.offset, static_cast<uint64_t>(c.stub.size())) << c.what;
    EXPECT_EQ(w.stub, c.kind) << c.what;
    EXPECT_EQ(w.members, kAll) << c.what;
    EXPECT_TRUE(w.damage.isEmpty()) << c.what;
  }
}

// Self-extractors carry header-like strings and even whole fake headers in
// their code; only a header followed by a valid successor counts.
TEST(ArchiveLocator, StepsOverDecoyHeadersInTheStub) {
  QByteArray decoy = LzhLevel0({"decoy.txt", "x", 0, {}, 0});
  decoy += QByteArray("\xE8\x00\x00\x5A\xC3 more stub code follows here....", 36);
  const Walk w = WalkBytes(testing_support::MzStub(2048) + decoy + Archive());
  ASSERT_TRUE(w.found);
  EXPECT_EQ(w.offset, static_cast<uint64_t>(2048 + decoy.size()));
  EXPECT_EQ(w.members, kAll);
}

TEST(ArchiveLocator, DoesNotClaimAnotherArchiveKindHoldingAnLzh) {
  const QByteArray zipLocal("PK\x03\x04\x0A\x00\x00\x00\x00\x00", 10);
  EXPECT_FALSE(WalkBytes(testing_support::MzStub(4096) + zipLocal + QByteArray(20, '\0') + Archive()).found);
  EXPECT_FALSE(WalkBytes(zipLocal + QByteArray(20, '\0') + Archive()).found);
  EXPECT_FALSE(WalkBytes(QByteArray("Rar!\x1A\x07\x00", 7) + Archive()).found);
  EXPECT_FALSE(WalkBytes(testing_support::MzStub(4096)).found);
  EXPECT_FALSE(WalkBytes(QByteArray()).found);
}

TEST(LzhReader, ReadsOnPastADamagedHeaderAndReportsIt) {
  QByteArray bytes = Archive();
  const int second = LzhLevel0({"one.txt", "first member", 0, {}, 0}).size();
  bytes[second + 30] = 'X';  // inside the second header: its CRC no longer matches
  const Walk w = WalkBytes(bytes);
  ASSERT_TRUE(w.found);
  EXPECT_EQ(w.members, (QStringList{"one.txt", "three.txt"}));
  ASSERT_EQ(w.damage.size(), 1);
}

// A damaged header whose sizes still hold: reading goes on where its data
// ends, not inside it, where a stored archive would pass for members.
TEST(LzhReader, SkipsTheDataOfAMemberWhoseHeaderFailedItsChecksum) {
  QByteArray bytes = LzhLevel0({"inner.lzh", Archive(), 0, {}, 0}) + LzhLevel0({"after.txt", "x", 0, {}, 0});
  bytes[1] = static_cast<char>(bytes[1] ^ 0x01);
  const Walk w = WalkBytes(bytes);
  ASSERT_TRUE(w.found);
  EXPECT_EQ(w.members, QStringList{"after.txt"});
  EXPECT_EQ(w.damage.size(), 1);
}

TEST(LzhReader, TrailingBytesEndTheArchiveWithoutFailure) {
  QByteArray noEndMarker = Archive();
  noEndMarker.chop(1);
  const struct {
    const char* what;
    QByteArray tail;
    uint64_t ignored;
  } cases[] = {
      {"XMODEM padding", QByteArray(100, '\x1A'), 0},
      {"a line of text", QByteArray("Downloaded from a BBS\r\n"), 23},
      {"nothing", QByteArray(), 0},
  };
  for (const auto& c : cases) {
    const Walk w = WalkBytes(noEndMarker + c.tail);
    EXPECT_EQ(w.members, kAll) << c.what;
    EXPECT_TRUE(w.damage.isEmpty()) << c.what;
    EXPECT_EQ(w.trailing, c.ignored) << c.what;
  }
}

}  // namespace
