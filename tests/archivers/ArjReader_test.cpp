// The ARJ reader below the safe writer: finding the archive in plain and
// self-extracting files, decoding every method to the stored CRC-32, and
// damaged data that must fail cleanly instead of crashing or looping.
#include <gtest/gtest.h>
#include <zlib.h>

#include <QByteArray>
#include <QFile>

#include "archivers/common/ResultCodes.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjDecoder.h"
#include "archivers/unarj32j/ArjLocator.h"
#include "platform/Cp932.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestSupport.h"

using namespace rkarc;
using testing_support::Sample;
using testing_support::TempFolder;

namespace {

struct Decoded {
  std::string name;  // UTF-8
  QByteArray data;
  uint32_t crc = 0;
  uint32_t storedCrc = 0;
  int32_t failure = 0;
};

// Decodes every file member to memory; stops at the first broken header.
std::vector<Decoded> DecodeAll(const QString& path, int32_t* walkFailure = nullptr) {
  std::vector<Decoded> out;
  ArjArchive archive;
  if (archive.open(path.toStdString()) != kOk) {
    if (walkFailure) *walkFailure = archive.failure();
    return out;
  }
  ArjHeader member;
  while (archive.next(member) == ArjArchive::Step::Member) {
    if (member.fileType != kArjBinary && member.fileType != kArjText) continue;
    Decoded d;
    d.name = cp932::IsValidUtf8(member.name) ? member.name : cp932::ToUtf8(member.name);
    d.storedCrc = member.crc;
    auto decoder = ArjDecoder::create(archive.file(), member);
    if (!decoder) {
      d.failure = kErrUnsupported;
    } else {
      decoder->decode([&](const uint8_t* data, size_t size) {
        d.data.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        return true;
      });
      d.failure = decoder->failure();
    }
    d.crc = static_cast<uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(d.data.constData()), static_cast<uInt>(d.data.size())));
    out.push_back(std::move(d));
  }
  if (walkFailure) *walkFailure = archive.failure();
  return out;
}

QByteArray Bytes(const QString& path) { return testing_support::ReadFile(path); }

}  // namespace

TEST(ArjReader, EveryMemberOfTheSamplesDecodesToItsManifestContent) {
  const QStringList files = testing_support::ManifestFiles("arj/");
  ASSERT_FALSE(files.isEmpty());
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    int32_t walk = -1;
    const auto members = DecodeAll(Sample(file), &walk);
    EXPECT_EQ(walk, kOk);
    int files = 0;
    for (const auto& row : testing_support::ManifestRowsOf(file)) {
      if (row.member.endsWith('/')) continue;
      ++files;
      const auto it = std::find_if(members.begin(), members.end(),
                                   [&](const Decoded& d) { return QString::fromStdString(d.name) == row.member; });
      ASSERT_NE(it, members.end()) << row.member.toStdString();
      EXPECT_EQ(it->failure, kOk) << row.member.toStdString();
      EXPECT_EQ(it->crc, it->storedCrc) << row.member.toStdString();
      EXPECT_EQ(QString::number(it->data.size()), row.size) << row.member.toStdString();
      EXPECT_EQ(QString(testing_support::Sha256Hex(it->data)), row.sha256) << row.member.toStdString();
    }
    EXPECT_EQ(static_cast<int>(members.size()), files);
  }
}

// The offset where the archive starts in each self-extracting sample: the
// appended archive is the tail of the file, as long as the plain archive.
TEST(ArjReader, FindsTheArchiveBehindEachKindOfStub) {
  struct Row {
    const char* file;
    const char* appended;  // the plain archive that was appended, or nullptr
    bool found;
  };
  const Row rows[] = {
      {"arj/m1.arj", "arj/m1.arj", true},
      {"arj/sfx_mz.exe", "arj/m1.arj", true},
      {"arj/sfx_pe.exe", "arj/m4.arj", true},
      {"arj/sfx_elf.exe", nullptr, true},
      {"sfx/stub_only.exe", nullptr, false},
      {"sfx/zip_sfx_raw.exe", nullptr, false},
      {"sfx/cab_sfx_small.exe", nullptr, false},
      {"lzh/sfx_pe.exe", nullptr, false},
      {"damaged/text_named.zip", nullptr, false},
      {"damaged/empty.lzh", nullptr, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ArjFile file;
    ASSERT_TRUE(file.open(Sample(row.file).toStdString()));
    const auto offset = ArjLocator(file).findMainHeader();
    ASSERT_EQ(offset.has_value(), row.found);
    if (row.appended) {
      EXPECT_EQ(*offset, file.size() - static_cast<uint64_t>(Bytes(Sample(row.appended)).size()));
    }
  }
}

TEST(ArjReader, AHeaderWithABadCrcStopsTheWalk) {
  int32_t walk = kOk;
  const auto members = DecodeAll(Sample("damaged/arj_hdrcrc.arj"), &walk);
  EXPECT_TRUE(members.empty());
  EXPECT_EQ(walk, kErrChecksum);

  // The same damage in the main header: the file is still an ARJ archive, a broken one.
  TempFolder temp;
  QByteArray data = Bytes(Sample("arj/m0.arj"));
  data[12] = static_cast<char>(data[12] ^ 0x20);
  ArjArchive archive;
  EXPECT_EQ(archive.open(temp.write("main.arj", data).toStdString()), kErrChecksum);
}

// Every byte of compressed data flipped in turn: each member either fails or
// decodes to something whose CRC-32 differs, and nothing crashes or hangs.
TEST(ArjReader, FlippedCompressedBytesNeverPassAsGoodData) {
  TempFolder temp;
  for (const char* sample : {"arj/m1.arj", "arj/m4.arj"}) {
    SCOPED_TRACE(sample);
    const QByteArray original = Bytes(Sample(sample));
    ArjArchive archive;
    ASSERT_EQ(archive.open(Sample(sample).toStdString()), kOk);
    ArjHeader text;
    ASSERT_EQ(archive.next(text), ArjArchive::Step::Member);
    ASSERT_EQ(text.name, "text.txt");
    ASSERT_NE(text.method, 0);
    for (uint32_t i = 0; i < text.compressedSize; i += 97) {
      QByteArray damaged = original;
      damaged[static_cast<qsizetype>(text.dataOffset + i)] ^= static_cast<char>(0x10 << (i % 4));
      const auto members = DecodeAll(temp.write("flip.arj", damaged));
      ASSERT_FALSE(members.empty());
      const Decoded& d = members.front();
      EXPECT_TRUE(d.failure != kOk || d.crc != d.storedCrc) << "flip at " << i;
    }
  }
}

// Cut at every few bytes: the walk or the member fails, never a clean pass.
TEST(ArjReader, ATruncatedArchiveNeverWalksClean) {
  TempFolder temp;
  const QByteArray original = Bytes(Sample("arj/m3.arj"));
  for (qsizetype length = 0; length < original.size(); length += 61) {
    const QString path = temp.write("cut.arj", original.left(length));
    ArjArchive archive;
    if (archive.open(path.toStdString()) != kOk) continue;
    EXPECT_FALSE(archive.walkAll()) << "cut at " << length;
  }
}
