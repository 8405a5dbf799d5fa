// The two message tables: texts kept exactly (ideographic spaces, full-width and
// half-width letters) under their numbers, each number in its own table only,
// and the empty text for numbers a table does not hold.
#include <climits>

#include <gtest/gtest.h>

#include "text/MessageCatalogue.h"

namespace {

enum class Table { Product, Shared };

struct MessageRow {
  const char* name;
  Table table;
  int id;
  const char16_t* expected;
};

// By number on purpose: the numbers of the names never change.
QString Look(Table table, int id) {
  return table == Table::Product ? MessageCatalogue::Product(static_cast<ProductMsg>(id))
                                 : MessageCatalogue::Shared(static_cast<SharedMsg>(id));
}

class MessageCatalogueRows : public testing::TestWithParam<MessageRow> {};

TEST_P(MessageCatalogueRows, HoldsTheExactText) {
  const MessageRow& row = GetParam();
  EXPECT_EQ(Look(row.table, row.id), QString::fromUtf16(row.expected));
}

const MessageRow kRows[] = {
    {"FirstProductEntry", Table::Product, 1, u"Okavi解凍"},
    {"RunButtonToolTip", Table::Product, 8, u"解凍先フォルダの下にファイル名（拡張子を除く）から数字を除いたフォルダを作成し解凍します"},
    {"LogLineKeepsIdeographicSpace", Table::Product, 20000, u"\u3000ＬＺＨ解凍中です"},
    {"SkippedFilesLineHead", Table::Product, 20040, u"\u3000スキップされたファイルが"},
    {"SkippedFilesLineTail", Table::Product, 20041, u"あります"},
    {"FullWidthDigits", Table::Product, 3100, u"一度で実行できるファイル数は最大１０００までです。"},
    {"LastProductEntry", Table::Product, 20106, u"現在UNRAR32.DLLは使用中です"},
    {"MainWindowCaption", Table::Product, 9999, u"Rukasu2 for Linux"},
    {"DestinationHintSameAsSource", Table::Product, 10040, u"初期設定を無効にして、常に終了時のフォルダに復帰します"},
    {"TemporaryFolderHasNoHint", Table::Product, 10060, u""},
    {"BzipToolTip", Table::Product, 8082, u"BZIP2形式で圧縮されたファイル（拡張子.BZ2）を解凍の対象とします。"},
    {"FirstSharedEntryHalfWidthKana", Table::Shared, 5, u"ｷｬﾝｾﾙ"},
    {"SaveDialogFilter", Table::Shared, 11, u"LogFile(*.LOG)|*.LOG|全てのファイル(*.*)|*.*"},
    {"SlashInFolderNameMessage", Table::Shared, 101, u"フォルダ名には [/] は使用できません"},
    {"SharedOkButton", Table::Shared, 8044, u"設定"},
    {"SharedClipboardOption", Table::Shared, 8060, u"結果をクリップボートにコピー"},
    {"AuthorHomePage", Table::Shared, 7005, u"https://example.org/rukasu2"},
    {"LastSharedEntry", Table::Shared, 11103, u"すでに存在するフォルダエリアス名には変更できません"},
    // A number belongs to one table only; the other answers the empty text.
    {"OkButtonIsNotAProductMessage", Table::Product, 8044, u""},
    {"PaneCaptionIsNotASharedMessage", Table::Shared, 1000, u""},
    {"RefreshIsNotAProductMessage", Table::Product, 1005, u""},
    {"ZeroIsAbsentFromTheProductTable", Table::Product, 0, u""},
    {"ZeroIsAbsentFromTheSharedTable", Table::Shared, 0, u""},
    {"NumberBetweenEntries", Table::Product, 20035, u""},
    {"NegativeNumber", Table::Shared, -1, u""},
    {"BeyondTheLastEntry", Table::Product, 30000, u""},
    {"LargestInteger", Table::Shared, INT_MAX, u""},
    {"SmallestInteger", Table::Product, INT_MIN, u""},
};

INSTANTIATE_TEST_SUITE_P(Texts, MessageCatalogueRows, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<MessageRow>& info) { return std::string(info.param.name); });

TEST(MessageCatalogue, LogLinesStartWithOneIdeographicSpace) {
  using M = ProductMsg;
  for (M id : {M::LogLzhExtracting, M::LogTarExtracting, M::LogIshChecking, M::LogRarChecking, M::LogNotDeleted,
               M::LogNoDestination, M::LogDiskFull, M::LogCancelled}) {
    const QString text = MessageCatalogue::Product(id);
    ASSERT_GE(text.size(), 2) << static_cast<int>(id);
    EXPECT_EQ(text.at(0), QChar(0x3000)) << static_cast<int>(id);
    EXPECT_NE(text.at(1), QChar(0x3000)) << static_cast<int>(id);
  }
}

TEST(MessageCatalogue, RemovalQuestionIsTheSharedTextAlone) {
  EXPECT_EQ(
      MessageCatalogue::Product(ProductMsg::RemovalQuestionHead) + MessageCatalogue::Shared(SharedMsg::RemovalQuestion),
      u"で使用した設定ファイルを全て削除します");
}

}  // namespace
