// Parsing of extraction commands: paths, member names, option letters, the
// command word, and names that no member can match.
#include <gtest/gtest.h>

#include "archivers/common/ExtractRequest.h"

namespace {

using rkarc::ExtractRequest;

// A module that knows the letters x, e and o.
std::string Letters(std::string_view token, ExtractRequest& request) {
  return rkarc::ForEachOptionLetter(token, [&](char c) {
    if (c == 'e') request.writerOptions.flatten = true;
    if (c == 'o') request.writerOptions.overwrite = true;
    return c == 'x' || c == 'e' || c == 'o';
  });
}

struct Parsed {
  bool ok;
  ExtractRequest request;
  std::string report;
};

Parsed Parse(const std::string& text) {
  char buffer[512];
  rkarc::Report report(buffer, sizeof buffer);
  Parsed p;
  p.ok = p.request.parse(text, report, Letters);
  p.report = report.text();
  return p;
}

TEST(ExtractRequest, PathsOptionsAndTheCommandWord) {
  Parsed p = Parse("-xo \"/a b/x.zip\" \"/out dir/\"");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.request.archive, "/a b/x.zip");
  EXPECT_EQ(p.request.output, "/out dir/");
  EXPECT_TRUE(p.request.outputIsFolder());
  EXPECT_TRUE(p.request.writerOptions.overwrite);
  EXPECT_FALSE(p.request.writerOptions.flatten);

  p = Parse("e -q \"x.zip\" \"/tmp/file\"");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.request.writerOptions.flatten);
  EXPECT_EQ(p.report, "不明なオプションを無視しました: -q\n");
}

TEST(ExtractRequest, MalformedCommandsAreRefused) {
  for (const char* text : {"-x \"x.zip\"", "-x \"x.zip\" \"out/", "-x \"\" \"out/\"", ""}) {
    SCOPED_TRACE(text);
    const Parsed p = Parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_FALSE(p.report.empty());
  }
}

TEST(ExtractRequest, MemberNamesMatchAsSafePathsIgnoringAsciiCase) {
  Parsed p = Parse("-x \"a.zip\" \"out/\" \"Inner.LZH\" \"dir\\\\b.txt\" \"../escape\"");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.request.wants("inner.lzh", rkarc::NameCharset::Auto));
  EXPECT_TRUE(p.request.wants("/dir/B.TXT", rkarc::NameCharset::Auto));
  EXPECT_FALSE(p.request.wants("other.txt", rkarc::NameCharset::Auto));
  EXPECT_FALSE(p.request.wants("escape", rkarc::NameCharset::Auto));
  // A name no member can have is reported as missing, never widened to "everything".
  EXPECT_EQ(p.request.unmatched(), std::vector<std::string>{"../escape"});

  p = Parse("-x \"a.zip\" \"out/\"");
  EXPECT_TRUE(p.request.wants("anything", rkarc::NameCharset::Auto));
  EXPECT_TRUE(p.request.unmatched().empty());
}

}  // namespace
