// Which member paths the names after the output folder select: plain names
// (brackets included), wildcards, last components, folders, "./" and "\",
// letter case as the module's format has it, and names no member can have.
#include <gtest/gtest.h>

#include "archivers/common/MemberMatcher.h"

namespace {

struct SelectionCase {
  const char* name;
  const char* path;
  bool selected;
  bool exactCase = false;  // the module's format tells letter case apart
};

TEST(MemberMatcher, SelectsAsTheDoubleArchivePassAndUsersWriteNames) {
  const SelectionCase cases[] = {
      {"c.lzh", "c.lzh", true},
      {"C.LZH", "c.lzh", true},  // the archive was renamed in capitals
      {"C.LZH", "c.lzh", false, true},
      {"[team] data[1].lzh", "[team] data[1].lzh", true},
      {"data[1].lzh", "data1.lzh", true},  // and as a wildcard
      {"data[!1].lzh", "data1.lzh", false},
      {"data[0-9].LZH", "data7.lzh", true},
      {"da*[.lzh", "data[.lzh", true},  // a set never closed is a plain bracket
      {"*.txt", "sub/inner.txt", true},
      {"*.TXT", "sub/inner.txt", false, true},
      {"?.txt", "表.txt", true},  // ? is one character, not one byte
      {"inner.txt", "sub/inner.txt", true},  // no folder part: the last component
      {"sub", "sub/deeper/inner.txt", true},  // a folder: everything below it
      {"SUB", "sub/deeper/inner.txt", true},
      {"sub/deeper", "sub/deeper/inner.txt", true},
      {"sub/inner.txt", "other/sub/inner.txt", false},
      {"c.lzh", "c.lzh.bak", false},
      {".\\sub\\inner.txt", "sub/inner.txt", true},
      {"./sub/./inner.txt", "sub/inner.txt", true},
      {"/dir/B.TXT", "dir/b.txt", true},
      {"dir\\\\b.txt", "dir/b.txt", true},
      {"表示.txt", "表示.txt", true},
  };
  for (const SelectionCase& c : cases) {
    rkarc::MemberMatcher matcher({c.name}, !c.exactCase);
    EXPECT_EQ(matcher.matches(c.path), c.selected) << c.name << " / " << c.path;
    EXPECT_EQ(matcher.unmatched().empty(), c.selected) << c.name;
  }
}

TEST(MemberMatcher, ANameNoMemberCanHaveSelectsNothingAndIsReported) {
  for (const char* name : {"../escape", "..", "./", ""}) {
    SCOPED_TRACE(name);
    rkarc::MemberMatcher matcher({name, "a.txt"}, true);
    EXPECT_FALSE(matcher.all());
    EXPECT_FALSE(matcher.wants("escape", rkarc::NameCharset::Auto));
    EXPECT_FALSE(matcher.wants("../escape", rkarc::NameCharset::Auto));
    EXPECT_TRUE(matcher.wants("A.TXT", rkarc::NameCharset::Auto));
    EXPECT_EQ(matcher.unmatched(), std::vector<std::string>{name});
  }
  rkarc::MemberMatcher everything;
  EXPECT_TRUE(everything.all());
  EXPECT_TRUE(everything.wants("any/path", rkarc::NameCharset::Auto));
  EXPECT_TRUE(everything.unmatched().empty());
}

}  // namespace
