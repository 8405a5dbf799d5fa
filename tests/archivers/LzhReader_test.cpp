// The LZH reader and liblhasa's decoders on their own, decoding to memory:
// every archive under lzh/ in the sample manifest yields exactly its listed
// members (names, folders, links, sizes, sha256), and the unsupported ones
// are recognised as such without a decoder.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <map>
#include <set>

#include "archivers/unlha32/LzhDecoder.h"
#include "archivers/unlha32/LzhMember.h"
#include "archivers/unlha32/LzhReader.h"
#include "platform/Cp932.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::LzhReader;

// The UTF-8 path the writer makes of a member's name, as far as these samples need.
QString PathOf(const rkarc::Member& m) {
  std::string s = m.name;
  if (m.charset == rkarc::NameCharset::Cp932 || !cp932::IsValidUtf8(s)) s = cp932::ToUtf8(s);
  QString path = QString::fromStdString(s).replace('\\', '/');
  while (path.endsWith('/')) path.chop(1);
  return path;
}

void AddParents(const QString& path, std::set<QString>& folders) {
  for (int at = path.indexOf('/'); at > 0; at = path.indexOf('/', at + 1)) folders.insert(path.left(at));
}

struct Listing {
  std::map<QString, QByteArray> files;
  std::set<QString> folders;
  std::map<QString, QString> links;
  QStringList unsupported;
  QStringList problems;
};

void DecodeMember(const rkarc::ArchiveFile& file, const rkarc::LzhHeader& header, const QString& path,
                  Listing& out) {
  if (!rkarc::LzhDecoder::Supports(header.method)) {
    out.unsupported << path;
    return;
  }
  QByteArray data;
  const auto result = rkarc::LzhDecoder::Decode(file, header, [&](const uint8_t* p, size_t n) {
    data.append(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
    return true;
  });
  if (result != rkarc::LzhDecoder::Result::Ok)
    out.problems << QString("%1: decoder result %2").arg(path).arg(static_cast<int>(result));
  out.files[path] = data;
}

Listing ReadArchive(const QString& archive) {
  Listing out;
  rkarc::ArchiveFile file;
  LzhReader reader(file);
  if (!file.open(archive.toStdString()) || !reader.open()) {
    out.problems << "no archive found";
    return out;
  }
  for (auto entry = reader.next(); entry.kind != LzhReader::Entry::Kind::End; entry = reader.next()) {
    if (entry.kind == LzhReader::Entry::Kind::Damage) {
      out.problems << QString::fromStdString(entry.reason);
      continue;
    }
    rkarc::Member member;
    std::string reason;
    if (!rkarc::LzhMember::Make(entry.header, member, reason)) out.problems << QString::fromStdString(reason);
    const QString path = PathOf(member);
    AddParents(path, out.folders);
    if (member.type == rkarc::MemberType::Directory)
      out.folders.insert(path);
    else if (member.type == rkarc::MemberType::Symlink)
      out.links[path] = QString::fromStdString(member.linkTarget).replace('\\', '/');
    else
      DecodeMember(file, entry.header, path, out);
  }
  return out;
}

// Compares a listing with the manifest rows of an "ok" archive.
QStringList Differences(const Listing& got, const QString& archive) {
  QStringList problems = got.problems;
  std::set<QString> folders;
  std::set<QString> seen;
  for (const auto& row : testing_support::ManifestRowsOf(archive)) {
    QString member = row.member;
    if (member.endsWith('/')) {
      member.chop(1);
      folders.insert(member);
      continue;
    }
    AddParents(member, folders);
    seen.insert(member);
    if (row.sha256.startsWith("symlink:")) {
      const auto it = got.links.find(member);
      if (it == got.links.end() || it->second != row.sha256.mid(8)) problems << "link " + member;
      continue;
    }
    const auto it = got.files.find(member);
    if (it == got.files.end()) {
      problems << "missing " + member;
    } else if (QString::number(it->second.size()) != row.size ||
               QString::fromLatin1(testing_support::Sha256Hex(it->second)) != row.sha256) {
      problems << "content of " + member;
    }
  }
  for (const auto& [path, data] : got.files)
    if (!seen.count(path)) problems << "unexpected " + path;
  if (folders != got.folders) problems << "folders differ";
  return problems;
}

std::vector<std::string> LzhSamples() {
  std::vector<std::string> out;
  for (const QString& f : testing_support::ManifestFiles("lzh/")) out.push_back(f.toStdString());
  return out;
}

class LzhSample : public testing::TestWithParam<std::string> {};

TEST_P(LzhSample, YieldsTheListedMembers) {
  RK_REQUIRE_SAMPLES();
  const QString archive = QString::fromStdString(GetParam());
  const auto rows = testing_support::ManifestRowsOf(archive);
  ASSERT_FALSE(rows.empty());
  const Listing got = ReadArchive(testing_support::Sample(archive));
  if (rows.front().expect == "unsupported") {
    EXPECT_TRUE(got.problems.isEmpty()) << got.problems.join("; ").toStdString();
    EXPECT_EQ(got.unsupported.size(), static_cast<qsizetype>(rows.size()));
    EXPECT_TRUE(got.files.empty());
    return;
  }
  ASSERT_EQ(rows.front().expect, "ok");
  EXPECT_TRUE(got.unsupported.isEmpty()) << got.unsupported.join(", ").toStdString();
  const QStringList problems = Differences(got, archive);
  EXPECT_TRUE(problems.isEmpty()) << problems.join("; ").toStdString();
}

std::string RowName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(4);  // without "lzh/"
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Manifest, LzhSample, testing::ValuesIn(LzhSamples()), RowName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LzhSample);

}  // namespace
