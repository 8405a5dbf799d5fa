// Reading extraction commands with a module's option table: paths, option
// letters and whole tokens, the command word, letter case, the ISH form with
// "/" options and " /F=", and the commands that are refused.
#include <gtest/gtest.h>

#include "archivers/common/ExtractRequest.h"
#include "tests/support/TestSupport.h"

namespace {

using rkarc::CommandSyntax;
using rkarc::ExtractRequest;
using rkarc::OptionEffect;
using rkarc::OptionRule;
using testing_support::TempFolder;

constexpr OptionRule kLetters[] = {{"x", OptionEffect::WithFolders}, {"e", OptionEffect::Flatten},
                                   {"o", OptionEffect::Overwrite},   {"n", OptionEffect::KeepExisting},
                                   {"G", OptionEffect::SingleFile}};
constexpr OptionRule kTokens[] = {{"--overwrite", OptionEffect::Overwrite}, {"-o-", OptionEffect::KeepExisting}};
constexpr CommandSyntax kDash{.mark = '-', .letters = kLetters, .tokens = kTokens};
constexpr CommandSyntax kDashAnyCase{.mark = '-', .letters = kLetters, .lettersIgnoreCase = true};
constexpr OptionRule kIshLetters[] = {{"m", OptionEffect::None}, {"o", OptionEffect::Overwrite}};
constexpr CommandSyntax kSlash{.mark = '/', .letters = kIshLetters, .lettersIgnoreCase = true};

struct Parsed {
  bool ok;
  ExtractRequest request;
  std::string report;
};

Parsed Parse(const std::string& text, const CommandSyntax& syntax = kDash) {
  char buffer[512];
  rkarc::Report report(buffer, sizeof buffer);
  Parsed p;
  p.ok = p.request.parse(text, syntax, report);
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
  EXPECT_TRUE(p.request.members.all());

  p = Parse("e -q \"x.zip\" \"/tmp/file\" \"a.txt\"");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.request.writerOptions.flatten);
  EXPECT_FALSE(p.request.members.all());
  EXPECT_EQ(p.report, "不明なオプションを無視しました: -q\n");
}

TEST(ExtractRequest, LettersCombineAndTheLaterOneWins) {
  const struct {
    const char* command;
    const CommandSyntax& syntax;
    bool overwrite, flatten, singleFile;
    const char* report;
  } rows[] = {
      {"-o -n", kDash, false, false, false, ""},
      {"-xon --overwrite", kDash, true, false, false, ""},
      {"--overwrite -o-", kDash, false, false, false, ""},
      {"-Gx", kDash, false, false, true, ""},
      {"-XO", kDash, false, false, false, "不明なオプションを無視しました: -XO\n"},
      {"-XO", kDashAnyCase, true, false, false, ""},
      {"xe -", kDash, false, true, false, "不明なオプションを無視しました: -\n"},
      {"-xqeq", kDash, false, true, false, "不明なオプションを無視しました: -qq\n"},
      {"--force-overwrite", kDash, false, false, false, "不明なオプションを無視しました: --force-overwrite\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    const Parsed p = Parse(std::string(row.command) + " \"a.zip\" \"out/\"", row.syntax);
    ASSERT_TRUE(p.ok) << p.report;
    EXPECT_EQ(p.request.writerOptions.overwrite, row.overwrite);
    EXPECT_EQ(p.request.writerOptions.flatten, row.flatten);
    EXPECT_EQ(p.request.singleFile, row.singleFile);
    EXPECT_EQ(p.report, row.report);
  }
}

TEST(ExtractRequest, MalformedCommandsAndOtherWordsAreRefused) {
  const struct {
    const char* command;
    const char* reason;
  } rows[] = {
      {"-x \"x.zip\"", "書庫と解凍先フォルダを指定してください"},
      {"-x \"\" \"out/\"", "書庫と解凍先フォルダを指定してください"},
      {"", "書庫と解凍先フォルダを指定してください"},
      {"-x \"x.zip\" \"out/", "コマンドの引用符が閉じていません"},
      {"d \"x.zip\" \"out/\"", "このコマンドは使えません: d"},
      {"xl \"x.zip\" \"out/\"", "このコマンドは使えません: xl"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.command);
    const Parsed p = Parse(row.command);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.report, std::string(row.reason) + "\n");
  }
}

// The ISH form: the archive runs up to the last " /F=", blanks included.
struct IshRow {
  const char* name;
  std::string command;  // "@" stands for the temporary folder
  std::string archive;
  std::string folder;
  bool overwrite;
  std::string report;
};

std::string Expand(std::string text, const std::string& root) {
  for (size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, root);
  return text;
}

class IshCommand : public testing::TestWithParam<IshRow> {};

TEST_P(IshCommand, SplitsArchiveFolderAndOptions) {
  TempFolder temp;
  temp.write("dl/DATA.ISH", "x");
  temp.write("my dl/DATA 1.ISH", "x");
  const std::string root = temp.path().toStdString();
  const IshRow& row = GetParam();
  const Parsed p = Parse(Expand(row.command, root), kSlash);
  ASSERT_TRUE(p.ok) << p.report;
  EXPECT_EQ(p.request.archive, Expand(row.archive, root));
  EXPECT_EQ(p.request.output, Expand(row.folder, root));
  EXPECT_EQ(p.request.writerOptions.overwrite, row.overwrite);
  EXPECT_EQ(p.report, row.report);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, IshCommand,
    testing::Values(
        IshRow{"default_option_text", "/m @/dl/DATA.ISH /F=@/out/DATA/", "@/dl/DATA.ISH", "@/out/DATA/", false, ""},
        IshRow{"blanks_in_both_paths", "/m @/my dl/DATA 1.ISH /F=@/out dir/DATA 1/", "@/my dl/DATA 1.ISH",
               "@/out dir/DATA 1/", false, ""},
        IshRow{"no_options", "@/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", false, ""},
        IshRow{"quoted_paths", "/m \"@/my dl/DATA 1.ISH\" /F=\"@/out dir/\"", "@/my dl/DATA 1.ISH", "@/out dir/",
               false, ""},
        IshRow{"overwrite", "/m /o @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", true, ""},
        IshRow{"combined_letters", "/MO @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", true, ""},
        IshRow{"lower_case_mark_is_part_of_the_folder", "/m @/dl/DATA.ISH /F=@/a /f=b/", "@/dl/DATA.ISH", "@/a /f=b/",
               false, ""},
        IshRow{"unknown_option_noted", "/m /q @/dl/DATA.ISH /F=@/out/", "@/dl/DATA.ISH", "@/out/", false,
               "不明なオプションを無視しました: /q\n"},
        IshRow{"a_first_component_of_letters_is_no_option", "/m /tmp x/DATA.ISH /F=/out/", "/tmp x/DATA.ISH",
               "/out/", false, ""},
        IshRow{"last_folder_mark_wins", "/m @/a /F=b.ISH /F=@/out/", "@/a /F=b.ISH", "@/out/", false, ""},
        IshRow{"line_end_dropped", "/m @/dl/DATA.ISH /F=@/out/\r\n", "@/dl/DATA.ISH", "@/out/", false, ""},
        IshRow{"quoted_form", "/m \"@/dl/DATA.ISH\" \"@/tmp/\" \"DATA.BIN\"", "@/dl/DATA.ISH", "@/tmp/", false, ""}),
    [](const testing::TestParamInfo<IshRow>& info) { return info.param.name; });

TEST(IshCommand, CommandsWithoutArchiveOrFolderAreRefused) {
  for (const char* text : {"", "/m /home/u/DATA.ISH", "/m /home/u/DATA.ISH /F=", "/m \"/home/u/DATA.ISH"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Parse(text, kSlash).ok);
  }
}

}  // namespace
