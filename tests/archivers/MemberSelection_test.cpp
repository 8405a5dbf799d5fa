// Which member paths the names after the output folder select: plain names
// ignoring letter case (brackets included), wildcards, last components and
// folders, and which names matched nothing.
#include <gtest/gtest.h>

#include "archivers/unlha32/MemberSelection.h"

namespace {

struct SelectionCase {
  const char* name;
  const char* path;
  bool selected;
};

TEST(MemberSelection, MatchesNamesAsTheDoubleArchivePassAndUsersWriteThem) {
  const SelectionCase cases[] = {
      {"c.lzh", "c.lzh", true},
      {"C.LZH", "c.lzh", true},                  // the archive was renamed in capitals
      {"[team] data[1].lzh", "[team] data[1].lzh", true},
      {"data[1].lzh", "data1.lzh", true},        // and as a wildcard
      {"*.txt", "sub/inner.txt", true},
      {"inner.txt", "sub/inner.txt", true},      // no folder part: the last component
      {"sub", "sub/deeper/inner.txt", true},     // a folder: everything below it
      {"sub/inner.txt", "other/sub/inner.txt", false},
      {"c.lzh", "c.lzh.bak", false},
      {".\\sub\\inner.txt", "sub/inner.txt", true},
      {"表示.txt", "表示.txt", true},
  };
  for (const SelectionCase& c : cases) {
    rkarc::MemberSelection selection({c.name});
    EXPECT_EQ(selection.matches(c.path), c.selected) << c.name << " / " << c.path;
    EXPECT_EQ(selection.unmatched().empty(), c.selected) << c.name;
  }
  rkarc::MemberSelection everything({});
  EXPECT_TRUE(everything.all());
  EXPECT_TRUE(everything.matches("any/path"));
}

}  // namespace
