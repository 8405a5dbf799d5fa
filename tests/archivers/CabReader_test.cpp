// The cabinet reader on its own, decoding into memory: every sample cabinet
// (stored, MSZIP, LZX, CP932 names, behind stubs) against MANIFEST.tsv, the
// header checks that tell a cabinet from stray bytes, damaged data that must
// fail rather than give wrong bytes, and members split across a set.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <map>

#include "archivers/cab32/CabHeader.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ResultCodes.h"
#include "platform/Cp932.h"
#include "tests/archivers/CabBuilder.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::CabError;
using rkarc::CabReader;
using testing_support::CabBuilder;
using testing_support::CabBuildFile;
using testing_support::CabBuildOptions;

// Member name as the manifest writes it: UTF-8, "/" between folders.
std::string ManifestName(const rkarc::CabFileEntry& file) {
  std::string name = (file.attributes & rkarc::kCabAttribNameIsUtf8) || cp932::IsValidUtf8(file.name)
                         ? file.name
                         : cp932::ToUtf8(file.name);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

struct Decoded {
  CabError error;
  std::string data;
};

Decoded Decode(CabReader& reader, size_t index) {
  Decoded out;
  out.error = reader.extract(index, [&](const void* data, size_t size) {
    out.data.append(static_cast<const char*>(data), size);
    return true;
  });
  return out;
}

std::string Sha256(const std::string& data) {
  return testing_support::Sha256Hex(QByteArray::fromStdString(data)).toStdString();
}

std::string WriteTemp(const testing_support::TempFolder& dir, const std::string& name, const std::string& bytes) {
  return dir.write(QString::fromStdString(name), QByteArray::fromStdString(bytes)).toStdString();
}

class CabSamples : public testing::TestWithParam<const char*> {};

TEST_P(CabSamples, EveryMemberDecodesToTheManifestContent) {
  const QString sample = GetParam();
  std::map<std::string, testing_support::ManifestRow> expected;
  for (const auto& row : testing_support::ManifestRowsOf(sample))
    if (!row.member.endsWith('/')) expected[row.member.toStdString()] = row;
  ASSERT_FALSE(expected.empty()) << "no manifest rows for " << sample.toStdString();

  CabReader reader;
  const CabError opened = reader.open(testing_support::Sample(sample).toStdString(), true);
  ASSERT_FALSE(opened) << opened.reason;
  ASSERT_EQ(reader.files().size(), expected.size());
  for (size_t i = 0; i < reader.files().size(); ++i) {
    const std::string name = ManifestName(reader.files()[i]);
    SCOPED_TRACE(name);
    ASSERT_TRUE(expected.count(name));
    const Decoded decoded = Decode(reader, i);
    EXPECT_FALSE(decoded.error) << decoded.error.reason;
    EXPECT_EQ(std::to_string(decoded.data.size()), expected[name].size.toStdString());
    EXPECT_EQ(Sha256(decoded.data), expected[name].sha256.toStdString());
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, CabSamples,
                         testing::Values("cab/stored.cab", "cab/mszip.cab", "cab/libarchive_cab_1.cab",
                                         "cab/libarchive_cab_2.cab", "cab/libarchive_cab_3.cab",
                                         "cab/libarchive_cab_filename_cp932.cab", "sfx/cab_sfx_small.exe",
                                         "sfx/cab_sfx_600k.exe"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(CabReader, FindsTheCabinetBehindStubsOfAnySize) {
  const struct {
    const char* sample;
    uint64_t offset;
  } rows[] = {{"cab/mszip.cab", 0}, {"sfx/cab_sfx_small.exe", 3000}, {"sfx/cab_sfx_600k.exe", 614400}};
  for (const auto& row : rows) {
    CabReader reader;
    ASSERT_FALSE(reader.open(testing_support::Sample(row.sample).toStdString(), false)) << row.sample;
    EXPECT_EQ(reader.location().offset, row.offset) << row.sample;
  }
}

TEST(CabReader, OtherFilesAreNotCabinets) {
  for (const char* sample : {"sfx/stub_only.exe", "sfx/zip_sfx_raw.exe", "sfx/rar4_sfx_40000.exe",
                             "sfx/rar5_sfx_winrar.exe", "damaged/text_named.zip", "damaged/empty.lzh",
                             "lzh/sfx_pe.exe", "zip/cp932_backslash.zip"}) {
    const QString path = testing_support::Sample(sample);
    CabReader reader;
    EXPECT_EQ(reader.open(path.toStdString(), true).code, rkarc::kErrNotArchive) << sample;
  }
}

// A block whose checksum does not match fails its member, and the members
// after it in the same folder fail as well instead of receiving the data of
// the blocks that follow it.
TEST(CabReader, DamagedBlockNeverShiftsLaterMembers) {
  testing_support::TempFolder dir;
  CabBuilder builder;
  builder.add({"a.bin", std::string(32768, 'a')});
  builder.add({"b.bin", std::string(32768, 'b')});
  builder.add({"c.bin", std::string(32768, 'c')});
  std::string cab = builder.build();
  cab[builder.blockDataOffset(0) + 100] ^= 0x01;
  CabReader reader;
  ASSERT_FALSE(reader.open(WriteTemp(dir, "d.cab", cab), true));
  EXPECT_EQ(Decode(reader, 0).error.code, rkarc::kErrChecksum);
  EXPECT_EQ(Decode(reader, 1).error.code, rkarc::kErrChecksum);
  EXPECT_EQ(Decode(reader, 2).error.code, rkarc::kErrChecksum);
}

TEST(CabReader, DamagedSamplesNeverGiveWrongBytes) {
  std::map<std::string, std::string> good;  // name -> sha256 from the undamaged cabinet
  for (const auto& row : testing_support::ManifestRowsOf("cab/mszip.cab"))
    good[row.member.toStdString()] = row.sha256.toStdString();
  for (const char* sample : {"damaged/cab_mszip_flip.cab", "damaged/cab_mszip_trunc.cab",
                             "damaged/cab_stored_flip.cab"}) {
    SCOPED_TRACE(sample);
    CabReader reader;
    const CabError opened = reader.open(testing_support::Sample(sample).toStdString(), true);
    if (opened) continue;  // refused as a whole: nothing decoded
    int failed = 0;
    for (size_t i = 0; i < reader.files().size(); ++i) {
      const Decoded decoded = Decode(reader, i);
      if (decoded.error) {
        ++failed;
        continue;
      }
      EXPECT_EQ(Sha256(decoded.data), good[ManifestName(reader.files()[i])]);
    }
    EXPECT_GT(failed, 0);
  }
}

TEST(CabReader, CutShortCabinetIsReadOnlyWhenAllowed) {
  testing_support::TempFolder dir;
  CabBuilder builder;
  builder.add({"a.txt", "first member"});
  builder.add({"b.bin", std::string(40000, 'b')});
  const std::string cab = builder.build();
  const std::string path = WriteTemp(dir, "cut.cab", cab.substr(0, builder.blockDataOffset(1) + 10));

  CabReader probe;
  EXPECT_EQ(probe.open(path, false).code, rkarc::kErrDamaged);

  CabReader reader;
  ASSERT_FALSE(reader.open(path, true));
  EXPECT_TRUE(reader.location().cutShort);
  const Decoded first = Decode(reader, 0);
  EXPECT_FALSE(first.error);
  EXPECT_EQ(first.data, "first member");
  EXPECT_EQ(Decode(reader, 1).error.code, rkarc::kErrDamaged);
}

TEST(CabReader, MembersSplitAcrossCabinetsAreMultiVolume) {
  testing_support::TempFolder dir;
  CabBuildOptions options;
  options.prevCabinet = "DISK1.CAB";
  options.nextCabinet = "DISK3.CAB";
  CabBuilder builder(options);
  builder.add({"tail.bin", "end of a file from disk 1", 0x20, rkarc::kCabContinuedFromPrev});
  builder.add({"whole.txt", "complete here", 0x20, 0});
  builder.add({"head.bin", "start of a file", 0x20, rkarc::kCabContinuedToNext, 100000});
  CabReader reader;
  ASSERT_FALSE(reader.open(WriteTemp(dir, "DISK2.CAB", builder.build()), true));
  const CabError tail = reader.check(0);
  EXPECT_EQ(tail.code, rkarc::kErrMultiVolume);
  EXPECT_NE(tail.reason.find("DISK1.CAB"), std::string::npos);
  // whole.txt lies in the folder that began in DISK1.CAB: it cannot be decoded either.
  EXPECT_EQ(reader.check(1).code, rkarc::kErrMultiVolume);
  const CabError head = reader.check(2);
  EXPECT_EQ(head.code, rkarc::kErrMultiVolume);
  EXPECT_NE(head.reason.find("DISK3.CAB"), std::string::npos);
  EXPECT_EQ(Decode(reader, 2).error.code, rkarc::kErrMultiVolume);
}

TEST(CabReader, FirstCabinetOfASetDeliversItsWholeMembers) {
  testing_support::TempFolder dir;
  CabBuildOptions options;
  options.nextCabinet = "DISK2.CAB";
  CabBuilder builder(options);
  builder.add({"whole.txt", "complete here", 0x20, 0});
  builder.add({"head.bin", "start of a file", 0x20, rkarc::kCabContinuedToNext, 100000});
  CabReader reader;
  ASSERT_FALSE(reader.open(WriteTemp(dir, "DISK1.CAB", builder.build()), true));
  const Decoded whole = Decode(reader, 0);
  EXPECT_FALSE(whole.error) << whole.error.reason;
  EXPECT_EQ(whole.data, "complete here");
  EXPECT_EQ(reader.check(1).code, rkarc::kErrMultiVolume);
}

}  // namespace
