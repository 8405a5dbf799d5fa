// The header record's fields as the module uses them: the output name made
// safe, the time stamp with the encoder's zone, and the sanity checks that keep
// garbage lines and impossible volume sets from being taken for a header.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archivers/ish32/IshHeader.h"

namespace {

using rkarc::IshHeader;
using rkarc::IshRecord;

// A jis7 header record of a single file (the CRC is the line decoder's business).
IshRecord HeaderRecord(const std::string& base, const std::string& ext, uint32_t size = 5000) {
  IshRecord r;
  r.length = 63;
  r.bytes[2] = static_cast<uint8_t>(size);
  r.bytes[3] = static_cast<uint8_t>(size >> 8);
  r.bytes[4] = static_cast<uint8_t>(size >> 16);
  r.bytes[5] = static_cast<uint8_t>(size >> 24);
  r.bytes[6] = 63;
  r.bytes[8] = 62;
  r.bytes[10] = 16;
  r.bytes[11] = 13;
  std::memset(&r.bytes[12], ' ', 11);
  std::memcpy(&r.bytes[12], base.data(), std::min<size_t>(base.size(), 8));
  std::memcpy(&r.bytes[20], ext.data(), std::min<size_t>(ext.size(), 3));
  return r;
}

void SetLe32(IshRecord& r, int offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) r.bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct NameRow {
  const char* name;
  std::string base;
  std::string ext;
  std::string expected;
};

class IshHeaderName : public testing::TestWithParam<NameRow> {};

TEST_P(IshHeaderName, StoredNameIsReducedToABareFileName) {
  const auto header = IshHeader::parse(HeaderRecord(GetParam().base, GetParam().ext));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->safeName(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, IshHeaderName,
    testing::Values(NameRow{"plain", "DATA", "BIN", "DATA.BIN"}, NameRow{"no_extension", "README", "", "README"},
                    NameRow{"dot_dot_slash", "../../EV", "TXT", "EV.TXT"},
                    NameRow{"backslashes", "..\\..\\EV", "TXT", "EV.TXT"},
                    NameRow{"drive_letter", "C:EV", "TXT", "EV.TXT"}, NameRow{"only_dots", "..", "", ""},
                    NameRow{"separator_in_extension", "EV", "../", ""},
                    // 0x95 0x5C is one CP932 character: its 0x5C is no separator.
                    NameRow{"cp932_trail_backslash", "\x95\x5C", "TXT", "\x95\x5C.TXT"}),
    [](const testing::TestParamInfo<NameRow>& info) { return info.param.name; });

TEST(IshHeader, TimeStampIsConvertedWithTheStoredZone) {
  IshRecord r = HeaderRecord("DATA", "BIN");
  r.bytes[26] = 3;  // time and zone
  // 1995-03-04 21:10:30 local time of the encoder.
  const uint32_t dos = (15u << 25) | (3u << 21) | (4u << 16) | (21u << 11) | (10u << 5) | 15u;
  SetLe32(r, 27, dos);
  // JST: 32400 seconds east, stored as -32400 seconds west (24 bits).
  const uint32_t west = static_cast<uint32_t>(-32400) & 0xFFFFFF;
  r.bytes[31] = static_cast<uint8_t>(west);
  r.bytes[32] = static_cast<uint8_t>(west >> 8);
  r.bytes[33] = static_cast<uint8_t>(west >> 16);
  const auto header = IshHeader::parse(r);
  ASSERT_TRUE(header);
  // 1995-03-04 12:10:30 UTC.
  EXPECT_EQ(header->mtime(), std::optional<int64_t>(794319030));

  r.bytes[26] = 0;
  EXPECT_FALSE(IshHeader::parse(r)->mtime().has_value());
  r.bytes[26] = 3;
  SetLe32(r, 27, 0);  // day 0, month 0: no valid date
  EXPECT_FALSE(IshHeader::parse(r)->mtime().has_value());
}

TEST(IshHeader, InsaneFieldsAreNoHeader) {
  EXPECT_TRUE(IshHeader::parse(HeaderRecord("DATA", "BIN")));
  IshRecord unknownVariant = HeaderRecord("DATA", "BIN");
  unknownVariant.bytes[11] = 12;
  EXPECT_FALSE(IshHeader::parse(unknownVariant));
  IshRecord lengthOfAnotherVariant = HeaderRecord("DATA", "BIN");
  lengthOfAnotherVariant.bytes[6] = 69;
  EXPECT_FALSE(IshHeader::parse(lengthOfAnotherVariant));
  EXPECT_FALSE(IshHeader::parse(HeaderRecord("", "BIN")));
  IshRecord dataRecord = HeaderRecord("DATA", "BIN");
  dataRecord.bytes[0] = 1;
  EXPECT_FALSE(IshHeader::parse(dataRecord));
}

TEST(IshHeader, VolumeFieldsMustAddUp) {
  IshRecord r = HeaderRecord("DATA", "BIN", 5000);
  r.bytes[1] = 2;
  SetLe32(r, 40, 3598);
  const auto second = IshHeader::parse(r);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->volumeCount(), 2);
  EXPECT_EQ(second->volumeBytes(1), 3598u);
  EXPECT_EQ(second->volumeBytes(2), 1402u);
  EXPECT_EQ(second->volumeOffset(2), 3598u);

  r.bytes[1] = 3;  // beyond ceil(5000 / 3598)
  EXPECT_FALSE(IshHeader::parse(r));
  r.bytes[1] = 1;
  SetLe32(r, 40, 0);
  EXPECT_FALSE(IshHeader::parse(r));
  SetLe32(r, 40, 50);  // 100 volumes: more than .i01 to .i99 can name
  EXPECT_FALSE(IshHeader::parse(r));
}

TEST(IshHeader, SizeFarBeyondTheTextIsImplausible) {
  const auto header = IshHeader::parse(HeaderRecord("DATA", "BIN", 5000));
  ASSERT_TRUE(header);
  // 5002 stream bytes need 84 lines of at least 61 bytes.
  EXPECT_TRUE(header->fitsIn(84 * 61));
  EXPECT_TRUE(header->fitsIn(40 * 61));  // a text cut short still gets decoded (and fails)
  EXPECT_FALSE(header->fitsIn(20 * 61));
}

}  // namespace
