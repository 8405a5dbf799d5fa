// The LZH header parser and member naming on headers built byte by byte:
// each kind of damage is told apart (a damaged header must never pass as the
// end of the archive or as a good one), and names come out in the right
// charset with CP932 trail bytes intact.
#include <gtest/gtest.h>

#include "archivers/unlha32/Crc16.h"
#include "archivers/unlha32/LzhHeaderParser.h"
#include "archivers/unlha32/LzhMember.h"
#include "tests/archivers/LzhTestArchive.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::HeaderStatus;
using testing_support::LzhTestMember;

rkarc::HeaderResult ParseBytes(const QByteArray& bytes) {
  testing_support::TempFolder tmp;
  const QString path = tmp.write("a.lzh", bytes);
  rkarc::ArchiveFile file;
  EXPECT_TRUE(file.open(path.toStdString()));
  return rkarc::LzhHeaderParser(file).parse(0);
}

QByteArray Level0() { return testing_support::LzhLevel0({"dir\\a.txt", "hello", 0, {}, 0}); }
QByteArray Level2() { return testing_support::LzhLevel2({"a.txt", "hello", 'U', {}, 0}); }

QByteArray Patched(QByteArray bytes, int at, char value) {
  bytes[at] = value;
  return bytes;
}

// A level-0 or level-1 header patched after its checksum: the checksum made right again.
QByteArray Rechecked(QByteArray bytes) {
  unsigned sum = 0;
  for (int i = 2; i < static_cast<uint8_t>(bytes[0]) + 2; ++i) sum += static_cast<uint8_t>(bytes[i]);
  bytes[1] = static_cast<char>(sum & 0xFF);
  return bytes;
}

TEST(Crc16, HasTheArcCheckValue) {
  EXPECT_EQ(rkarc::Crc16::Of(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xBB3D);
}

struct DamageCase {
  const char* what;
  QByteArray bytes;
  HeaderStatus expected;
};

TEST(LzhHeaderParser, TellsEachKindOfDamageApart) {
  QByteArray level3 = Level2();
  level3[0] = 4;
  level3[1] = 0;
  level3[20] = 3;
  level3.insert(24, QByteArray("\x00\x00\x00\x80\x00\x00\x00\x00", 8));  // a 2 GiB header
  QByteArray shortRecord = Level2();
  shortRecord[24] = 2;  // a record smaller than its own id and size field
  QByteArray longRecord = Level2();
  longRecord[24] = static_cast<char>(0xF0);  // a record reaching past the header
  const DamageCase cases[] = {
      {"good level 0", Level0(), HeaderStatus::Ok},
      {"good level 2", Level2(), HeaderStatus::Ok},
      {"level-0 checksum", Patched(Level0(), 1, static_cast<char>(Level0()[1] ^ 0x40)), HeaderStatus::BadChecksum},
      {"level-0 size below its fixed part", Patched(Level0(), 0, 10), HeaderStatus::Damaged},
      {"level-0 name past the header", Rechecked(Patched(Level0(), 21, static_cast<char>(0xF0))),
       HeaderStatus::Damaged},
      {"level-0 cut inside the header", Level0().left(15), HeaderStatus::Truncated},
      {"level-2 header CRC", Patched(Level2(), 33, 'b'), HeaderStatus::BadChecksum},
      {"record too small", shortRecord, HeaderStatus::Damaged},
      {"record past the header", longRecord, HeaderStatus::Damaged},
      {"level-3 header of 2 GiB", level3, HeaderStatus::Damaged},
      {"unknown level", Patched(Level2(), 20, 7), HeaderStatus::Damaged},
      {"one byte of the method damaged", Patched(Level2(), 2, '+'), HeaderStatus::Damaged},
      {"cut inside the header", Level2().left(30), HeaderStatus::Truncated},
      {"end marker", QByteArray(1, '\0'), HeaderStatus::End},
      {"text", QByteArray("This is a text file, not an archive at all."), HeaderStatus::NotHeader},
  };
  for (const DamageCase& c : cases) EXPECT_EQ(ParseBytes(c.bytes).status, c.expected) << c.what;
}

TEST(LzhHeaderParser, ReadsAllFieldsOfALevel2Header) {
  const QByteArray dir = QByteArray("\x93\xFA\x96\x7B\xFF", 5);  // "日本" and a separator
  LzhTestMember m{"a.txt", "hello", 'U', testing_support::LzhExtended('\x02', dir) +
                                             testing_support::LzhExtended('\x50', QByteArray("\xA4\x81", 2)),
                  1};
  const auto r = ParseBytes(testing_support::LzhLevel2(m));
  ASSERT_EQ(r.status, HeaderStatus::Ok) << r.reason;
  EXPECT_EQ(r.header.method, "-lh0-");
  EXPECT_EQ(r.header.fileName, "a.txt");
  EXPECT_EQ(r.header.dirName, std::string("\x93\xFA\x96\x7B/", 5));
  EXPECT_EQ(r.header.unixMode, 0100644);
  EXPECT_EQ(r.header.headerUnixTime, 1700000000);
  EXPECT_EQ(r.header.originalSize, 5u);
  EXPECT_EQ(r.header.endOffset(), static_cast<uint64_t>(testing_support::LzhLevel2(m).size()));
}

// Some writers' level-2 headers are 256 bytes long: the size's first byte is
// then 0, which must not be taken for the end of the archive.
TEST(LzhHeaderParser, Level2HeaderWhoseSizeStartsWithZeroIsNoEndMarker) {
  LzhTestMember m{"a.txt", "hello", 'U', {}, 0};
  m.padding = 256 - static_cast<int>(testing_support::LzhLevel2(m).size() - m.data.size());
  const QByteArray bytes = testing_support::LzhLevel2(m);
  ASSERT_EQ(bytes[0], '\0');
  const auto r = ParseBytes(bytes);
  ASSERT_EQ(r.status, HeaderStatus::Ok) << r.reason;
  EXPECT_EQ(r.header.headerSize, 256u);
}

struct NameCase {
  const char* what;
  rkarc::LzhHeader header;
  std::string name;
  rkarc::NameCharset charset;
  rkarc::MemberType type;
};

rkarc::LzhHeader Header(std::string file, uint8_t os, std::string dir = {}) {
  rkarc::LzhHeader h;
  h.method = "-lh5-";
  h.fileName = std::move(file);
  h.dirName = std::move(dir);
  h.osId = os;
  return h;
}

TEST(LzhMember, NamesCharsetsAndTypes) {
  using rkarc::MemberType;
  using rkarc::NameCharset;
  rkarc::LzhHeader utf8 = Header("\xE8\xA1\xA8.txt", 'M');
  utf8.codePage = 65001;
  rkarc::LzhHeader utf16 = Header("ignored", 'w', "dir/");
  utf16.utf16FileName = "\xC3\xA4.txt";
  rkarc::LzhHeader link = Header("link|../target", 'U', "d/");
  link.unixMode = 0120777;
  rkarc::LzhHeader brokenLink = Header("link", 'U');
  brokenLink.unixMode = 0120777;
  rkarc::LzhHeader folder = Header("", 'M', "SUB/");
  folder.method = "-lhd-";
  rkarc::LzhHeader attributeFolder = Header("old", 'M');
  attributeFolder.method = "-lh0-";
  attributeFolder.dosAttributes = 0x10;
  rkarc::LzhHeader emptySo = Header("\x83\x5C", 0);  // ソ, an empty file
  emptySo.method = "-lh0-";
  rkarc::LzhHeader slashFolder = Header("dir\\", 0);
  slashFolder.method = "-lh0-";
  const NameCase cases[] = {
      // ア is 83 41: its trail byte is an ASCII capital and must not be folded.
      {"MS-DOS capitals folded, CP932 trail kept", Header("\x83\x41" "B.TXT", 'M'), "\x83\x41" "b.txt",
       NameCharset::Cp932, MemberType::File},
      {"ソ keeps its 0x5C", Header("\x83\x5C.txt", 0, "\x95\x5C/"), "\x95\x5C/\x83\x5C.txt", NameCharset::Cp932,
       MemberType::File},
      {"mixed case kept", Header("ReadMe.TXT", 'M'), "ReadMe.TXT", NameCharset::Cp932, MemberType::File},
      {"Unix names not folded", Header("README", 'U'), "README", NameCharset::Auto, MemberType::File},
      {"code page 65001", utf8, "\xE8\xA1\xA8.txt", NameCharset::Utf8, MemberType::File},
      {"UTF-16 name wins", utf16, "dir/\xC3\xA4.txt", NameCharset::Utf8, MemberType::File},
      {"Unix symbolic link", link, "d/link", NameCharset::Auto, MemberType::Symlink},
      {"folder", folder, "sub/", NameCharset::Cp932, MemberType::Directory},
      {"folder by its MS-DOS attribute", attributeFolder, "old", NameCharset::Cp932, MemberType::Directory},
      {"folder by its final separator", slashFolder, "dir\\", NameCharset::Cp932, MemberType::Directory},
      {"final 0x5C of ソ is no separator", emptySo, "\x83\x5C", NameCharset::Cp932, MemberType::File},
      {"0xFF separators in the name", Header("a\xFF" "b.txt", 'U'), "a/b.txt", NameCharset::Auto,
       MemberType::File},
  };
  for (const NameCase& c : cases) {
    rkarc::Member m;
    std::string reason;
    EXPECT_TRUE(rkarc::LzhMember::Make(c.header, m, reason)) << c.what;
    EXPECT_EQ(m.name, c.name) << c.what;
    EXPECT_EQ(m.charset, c.charset) << c.what;
    EXPECT_EQ(m.type, c.type) << c.what;
  }
  rkarc::Member m;
  std::string reason;
  EXPECT_TRUE(rkarc::LzhMember::Make(link, m, reason));
  EXPECT_EQ(m.linkTarget, "../target");
  EXPECT_FALSE(rkarc::LzhMember::Make(brokenLink, m, reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
