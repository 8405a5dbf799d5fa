// The shared message table: buttons, questions and folder-name and alias
// messages that the author's programs have in common, by number.
#include <array>

#include "text/MessageCatalogue.h"
#include "text/MessageTable.h"

namespace {

constexpr auto kSharedMessages = std::to_array<MessageEntry>({
    // Buttons, file filter, questions, end-of-run lines
    {5, u"ｷｬﾝｾﾙ"},
    {10, u"実行中に中断します"},
    {11, u"LogFile(*.LOG)|*.LOG|全てのファイル(*.*)|*.*"},
    {20, u"で使用した設定ファイルを全て削除します"},
    {30, u"中断しました"},
    {31, u"全て終了しました"},
    // Make-folder command
    {100, u"作成するフォルダ名を入力してください"},
    {101, u"フォルダ名には [/] は使用できません"},
    {102, u"フォルダ名には [*] は使用できません"},
    {103, u"フォルダ名には [?] は使用できません"},
    {104, u"フォルダは作成できませんでした"},
    {105, u"フォルダ作成時異常が発生しました"},
    {107, u"フォルダ名に異常な値があります"},
    {108, u"フォルダ名の先頭と末尾には [.] は使用できません"},
    {110, u"フォルダ名入力"},
    // Folder pane menu, folder alias input
    {1005, u"リフレッシュ"},
    {1006, u"フォルダエリアスの追加"},
    {1007, u"フォルダエリアスのメンテナンス"},
    {1100, u"フォルダエリアス名を入力してください"},
    {1101, u"フォルダエリアス名入力"},
    {1102, u"同一のフォルダエリアス名は追加できません"},
    // Selection and clearing menu items
    {2006, u"全て選択"},
    {2007, u"全て選択の解除"},
    {2008, u"初期化"},
    // Saving the result log
    {5100, u"ファイルが存在しています。上書きしてよろしいですか"},
    {5101, u"セーブできませんでした。"},
    // The author's contact lines in the about box
    {7003, u"Rukasu2 Project"},
    {7004, u"rukasu2@example.org"},
    {7005, u"https://example.org/rukasu2"},
    // Dialog buttons and the options shared with other programs
    {8042, u"初期値"},
    {8043, u"ｷｬﾝｾﾙ"},
    {8044, u"設定"},
    {8045, u"設定を初期設定に戻します"},
    {8046, u"設定を中断して、閉じます"},
    {8047, u"設定を有効にして、閉じます"},
    {8056, u"リサイズ時、小フォームも変更"},
    {8057, u"小フォームが親フォームにあわせてリサイズされます"},
    {8058, u"ＴｏｏｌＴｉｐを表示"},
    {8059, u"マウス停止時の説明を表示するかしないかの設定をします"},
    {8060, u"結果をクリップボートにコピー"},
    {8061, u"自動実行時、結果を自動的にクリップボートにコピーします"},
    // Folder alias maintenance dialog
    {11000, u"のエリアスメンテナンス"},
    {11003, u"名前の変更"},
    {11006, u"現在選択しているフォルダエリアス名の変更します"},
    {11007, u"フォルダエリアス名に対応するフォルダ名"},
    {11008, u"フォルダエリアス登録一覧"},
    {11009, u"現在選択しているフォルダエリアスを１つ上に移動します"},
    {11010, u"現在選択しているフォルダエリアスを１つ下に移動します"},
    {11011, u"現在選択しているフォルダエリアスを削除します"},
    {11012, u"全て削除します"},
    {11101, u"フォルダエリアス名を入力してください"},
    {11102, u"フォルダエリアス名の変更"},
    {11103, u"すでに存在するフォルダエリアス名には変更できません"},
});

static_assert(IsStrictlyAscending(kSharedMessages));

}  // namespace

QString MessageCatalogue::Shared(int id) { return LookUpMessage(kSharedMessages, id); }
