// The cabinet header checks: what makes "MSCF" a cabinet and what does not,
// so that a probe never claims an executable that merely holds those bytes,
// and a decoy before the real cabinet is passed over.
#include <gtest/gtest.h>

#include <functional>

#include "archivers/cab32/CabHeader.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ResultCodes.h"
#include "tests/archivers/CabBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::CabParse;
using testing_support::CabBuilder;

std::string ValidCabinet() {
  CabBuilder builder;
  builder.add({"a.txt", "alpha"});
  builder.add({"sub\\b.txt", "beta"});
  return builder.build();
}

CabParse Parse(const std::string& bytes, bool allowShort = false) {
  rkarc::CabHeader header;
  size_t needed = 0;
  return rkarc::ParseCabHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), bytes.size(),
                               allowShort, header, &needed);
}

TEST(CabHeader, ReadsAValidHeader) {
  const std::string cab = ValidCabinet();
  rkarc::CabHeader header;
  size_t needed = 0;
  ASSERT_EQ(rkarc::ParseCabHeader(reinterpret_cast<const uint8_t*>(cab.data()), cab.size(), cab.size(),
                                  false, header, &needed),
            CabParse::Ok);
  ASSERT_EQ(header.files.size(), 2u);
  EXPECT_EQ(header.files[1].name, "sub\\b.txt");
  EXPECT_EQ(header.files[1].folderOffset, 5u);
  EXPECT_EQ(header.cabinetSize, cab.size());
}

TEST(CabHeader, AsksForMoreBytesWhenGivenTooFew) {
  const std::string cab = ValidCabinet();
  rkarc::CabHeader header;
  size_t needed = 0;
  EXPECT_EQ(rkarc::ParseCabHeader(reinterpret_cast<const uint8_t*>(cab.data()), 50, cab.size(), false, header,
                                  &needed),
            CabParse::NeedMore);
  EXPECT_GT(needed, 50u);
}

TEST(CabHeader, RefusesWhatIsNotACabinet) {
  // Offsets: 36 CFFOLDER (data offset, blocks, type), 44 first CFFILE
  // (size, offset, folder index at 52, ...), its name at 60.
  const struct {
    const char* why;
    std::function<void(std::string&)> damage;
  } rows[] = {
      {"signature", [](std::string& c) { c[0] = 'X'; }},
      {"first reserved field", [](std::string& c) { c[4] = 1; }},
      {"second reserved field", [](std::string& c) { c[12] = 1; }},
      {"third reserved field", [](std::string& c) { c[20] = 1; }},
      {"minor version", [](std::string& c) { c[24] = 2; }},
      {"major version", [](std::string& c) { c[25] = 2; }},
      {"no folders", [](std::string& c) { c[26] = c[27] = 0; }},
      {"no files", [](std::string& c) { c[28] = c[29] = 0; }},
      {"unknown header flag", [](std::string& c) { c[30] = 0x08; }},
      {"file list not after the folders", [](std::string& c) { c[16] += 1; }},
      {"file list beyond the cabinet", [](std::string& c) { c[19] = 0x7F; }},
      {"cabinet longer than the file", [](std::string& c) { c[10] = 0x10; }},
      {"folder index out of range", [](std::string& c) { c[52] = 1; }},
      {"empty file name", [](std::string& c) { c[60] = 0; }},
      {"data inside the header", [](std::string& c) { c[36] = 40, c[37] = c[38] = c[39] = 0; }},
      {"truncated file list", [](std::string& c) { c.resize(62); }},
  };
  ASSERT_EQ(Parse(ValidCabinet()), CabParse::Ok);
  for (const auto& row : rows) {
    std::string cab = ValidCabinet();
    row.damage(cab);
    EXPECT_EQ(Parse(cab), CabParse::Invalid) << row.why;
  }
}

TEST(CabHeader, NameWithoutTerminatorWithin256BytesIsRefused) {
  CabBuilder builder;
  builder.add({std::string(255, 'n'), "x"});
  EXPECT_EQ(Parse(builder.build()), CabParse::Ok);
  CabBuilder longer;
  longer.add({std::string(256, 'n'), "x"});
  EXPECT_EQ(Parse(longer.build()), CabParse::Invalid);
}

TEST(CabHeader, CabinetCutShortIsAcceptedOnlyWhenAllowed) {
  std::string cab = ValidCabinet();
  cab.resize(cab.size() - 3);
  EXPECT_EQ(Parse(cab, false), CabParse::Invalid);
  EXPECT_EQ(Parse(cab, true), CabParse::Ok);
}

TEST(CabHeader, SearchPassesOverDecoysBeforeTheCabinet) {
  testing_support::TempFolder dir;
  std::string decoy = ValidCabinet();
  decoy[52] = 7;  // a folder that does not exist
  const std::string junk(5000, '\x90');
  const std::string file = junk + decoy + junk + "MSCF" + junk + ValidCabinet();
  const QString path = dir.write("setup.exe", QByteArray::fromStdString(file));
  rkarc::CabReader reader;
  ASSERT_FALSE(reader.open(path.toStdString(), false));
  EXPECT_EQ(reader.location().offset, file.size() - ValidCabinet().size());
  EXPECT_EQ(reader.files().size(), 2u);
}

// A self-extractor of another kind that stores a cabinet among its members
// is not a cabinet self-extractor: the probe must leave it to its own module.
TEST(CabHeader, CabinetStoredInsideAnotherSelfExtractorIsNotClaimed) {
  testing_support::TempFolder dir;
  std::string stub(512, '\0');
  stub[0] = 'M', stub[1] = 'Z', stub[4] = 1;  // one 512-byte page: the image ends at 512
  const struct {
    const char* what;
    std::string file;
    int32_t code;
  } rows[] = {
      {"cabinet at the image end", stub + ValidCabinet(), 0},
      {"cabinet inside a RAR", stub + std::string("Rar!\x1A\x07\x00", 7) + "junk" + ValidCabinet(),
       rkarc::kErrNotArchive},
      {"cabinet inside a ZIP", stub + "PK\x03\x04" + std::string(26, '\0') + ValidCabinet(), rkarc::kErrNotArchive},
  };
  for (const auto& row : rows) {
    rkarc::CabReader reader;
    const QString path = dir.write("sfx.exe", QByteArray::fromStdString(row.file));
    EXPECT_EQ(reader.open(path.toStdString(), false).code, row.code) << row.what;
  }
}

}  // namespace
