// The IshEx command text: the unquoted form the program sends (archive path up
// to the last " /F=", blanks included), quoted paths, and options.
#include <gtest/gtest.h>

#include <QString>

#include "archivers/ish32/IshCommandLine.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::IshCommandLine;
using testing_support::TempFolder;

struct CommandRow {
  const char* name;
  std::string command;  // "@" stands for the temporary folder
  std::string archive;
  std::string folder;
  bool overwrite;
  std::vector<std::string> ignored;
  std::vector<std::string> members;
};

std::string Expand(std::string text, const std::string& root) {
  for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, root);
  return text;
}

class IshCommandParse : public testing::TestWithParam<CommandRow> {};

TEST_P(IshCommandParse, SplitsArchiveFolderAndOptions) {
  TempFolder temp;
  temp.write("dl/DATA.ISH", "x");
  temp.write("my dl/DATA 1.ISH", "x");
  const std::string root = temp.path().toStdString();
  const CommandRow& row = GetParam();
  IshCommandLine parsed;
  ASSERT_TRUE(IshCommandLine::Parse(Expand(row.command, root), parsed));
  EXPECT_EQ(parsed.archive, Expand(row.archive, root));
  EXPECT_EQ(parsed.outputFolder, Expand(row.folder, root));
  EXPECT_EQ(parsed.overwrite, row.overwrite);
  EXPECT_EQ(parsed.ignoredOptions, row.ignored);
  EXPECT_EQ(parsed.members, row.members);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, IshCommandParse,
    testing::Values(
        CommandRow{"default_option_text", "/m @/dl/DATA.ISH /F=@/out/DATA/", "@/dl/DATA.ISH", "@/out/DATA/", false, {}, {}},
        CommandRow{"blanks_in_both_paths", "/m @/my dl/DATA 1.ISH /F=@/out dir/DATA 1/", "@/my dl/DATA 1.ISH",
                   "@/out dir/DATA 1/", false, {}, {}},
        CommandRow{"no_options", "@/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", false, {}, {}},
        CommandRow{"quoted_paths", "/m \"@/my dl/DATA 1.ISH\" /F=\"@/out dir/\"", "@/my dl/DATA 1.ISH",
                   "@/out dir/", false, {}, {}},
        CommandRow{"overwrite", "/m /o @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", true, {}, {}},
        CommandRow{"combined_letters", "/MO @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", true, {}, {}},
        CommandRow{"lower_case_mark_is_part_of_the_folder", "/m @/dl/DATA.ISH /F=@/a /f=b/", "@/dl/DATA.ISH",
                   "@/a /f=b/", false, {}, {}},
        CommandRow{"unknown_option_noted", "/m /q @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", false,
                   {"/q"}, {}},
        CommandRow{"last_folder_mark_wins", "/m @/a /F=b.ISH /F=@/out/", "@/a /F=b.ISH", "@/out/", false, {}, {}},
        CommandRow{"line_end_dropped", "/m @/dl/DATA.ISH /F=@/out/\r\n", "@/dl/DATA.ISH", "@/out/", false, {}, {}},
        CommandRow{"quoted_form_with_member", "/m \"@/dl/DATA.ISH\" \"@/tmp/\" \"DATA.BIN\"", "@/dl/DATA.ISH",
                   "@/tmp/", false, {}, {"DATA.BIN"}}),
    [](const testing::TestParamInfo<CommandRow>& info) { return info.param.name; });

TEST(IshCommandParse, AFirstPathComponentOfLettersIsNotTakenForAnOption) {
  // "/tmp" looks like an option token but has letters no option uses.
  IshCommandLine parsed;
  ASSERT_TRUE(IshCommandLine::Parse("/m /tmp x/DATA.ISH /F=/out/", parsed));
  EXPECT_EQ(parsed.archive, "/tmp x/DATA.ISH");
  EXPECT_TRUE(parsed.ignoredOptions.empty());
}

TEST(IshCommandParse, CommandsWithoutArchiveOrFolderAreRefused) {
  IshCommandLine parsed;
  EXPECT_FALSE(IshCommandLine::Parse("", parsed));
  EXPECT_FALSE(IshCommandLine::Parse("/m /home/u/DATA.ISH", parsed));
  EXPECT_FALSE(IshCommandLine::Parse("/m /home/u/DATA.ISH /F=", parsed));
  EXPECT_FALSE(IshCommandLine::Parse("/m \"/home/u/DATA.ISH", parsed));
}

}  // namespace
