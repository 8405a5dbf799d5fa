// The shared message table: buttons, questions and folder-name and alias
// messages that the author's programs have in common, by their names in
// text/MessageIds.h.
#include <array>

#include "text/MessageCatalogue.h"
#include "text/MessageTable.h"

namespace {

using S = SharedMsg;

constexpr auto kSharedMessages = std::to_array<MessageEntry<SharedMsg>>({
    // Buttons, file filter, questions, end-of-run lines
    {S::Cancel, u"ｷｬﾝｾﾙ"},
    {S::CancelRunTip, u"実行中に中断します"},
    {S::LogFileFilter, u"LogFile(*.LOG)|*.LOG|全てのファイル(*.*)|*.*"},
    {S::RemovalQuestion, u"で使用した設定ファイルを全て削除します"},
    {S::RunStopped, u"中断しました"},
    {S::RunFinished, u"全て終了しました"},
    // Make-folder command
    {S::MkdirPrompt, u"作成するフォルダ名を入力してください"},
    {S::MkdirNoSlash, u"フォルダ名には [/] は使用できません"},
    {S::MkdirNoAsterisk, u"フォルダ名には [*] は使用できません"},
    {S::MkdirNoQuestionMark, u"フォルダ名には [?] は使用できません"},
    {S::MkdirNotMade, u"フォルダは作成できませんでした"},
    {S::MkdirCannotEnter, u"フォルダ作成時異常が発生しました"},
    {S::MkdirAbnormal, u"フォルダ名に異常な値があります"},
    {S::MkdirDotAtEnds, u"フォルダ名の先頭と末尾には [.] は使用できません"},
    {S::MkdirTitle, u"フォルダ名入力"},
    // Folder pane menu, folder alias input
    {S::Refresh, u"リフレッシュ"},
    {S::AddAlias, u"フォルダエリアスの追加"},
    {S::MaintainAliases, u"フォルダエリアスのメンテナンス"},
    {S::AliasPrompt, u"フォルダエリアス名を入力してください"},
    {S::AliasTitle, u"フォルダエリアス名入力"},
    {S::AliasExists, u"同一のフォルダエリアス名は追加できません"},
    // Selection and clearing menu items
    {S::SelectAll, u"全て選択"},
    {S::UnselectAll, u"全て選択の解除"},
    {S::ClearList, u"初期化"},
    // Saving the result log
    {S::OverwriteQuestion, u"ファイルが存在しています。上書きしてよろしいですか"},
    {S::SaveFailed, u"セーブできませんでした。"},
    // The author's contact lines in the about box
    {S::ContactName, u"Rukasu2 Project"},
    {S::ContactMail, u"rukasu2@example.org"},
    {S::ContactHomePage, u"https://example.org/rukasu2"},
    // Dialog buttons and the options shared with other programs
    {S::InitButton, u"初期値"},
    {S::CancelButton, u"ｷｬﾝｾﾙ"},
    {S::OkButton, u"設定"},
    {S::InitTip, u"設定を初期設定に戻します"},
    {S::CancelTip, u"設定を中断して、閉じます"},
    {S::OkTip, u"設定を有効にして、閉じます"},
    {S::OptionResize, u"リサイズ時、小フォームも変更"},
    {S::OptionResizeTip, u"小フォームが親フォームにあわせてリサイズされます"},
    {S::OptionToolTips, u"ＴｏｏｌＴｉｐを表示"},
    {S::OptionToolTipsTip, u"マウス停止時の説明を表示するかしないかの設定をします"},
    {S::OptionLogToClipboard, u"結果をクリップボートにコピー"},
    {S::OptionLogToClipboardTip, u"自動実行時、結果を自動的にクリップボートにコピーします"},
    // Folder alias maintenance dialog
    {S::AliasMaintenanceCaption, u"のエリアスメンテナンス"},
    {S::RenameButton, u"名前の変更"},
    {S::RenameTip, u"現在選択しているフォルダエリアス名の変更します"},
    {S::AliasFolderTip, u"フォルダエリアス名に対応するフォルダ名"},
    {S::AliasListTip, u"フォルダエリアス登録一覧"},
    {S::MoveUpTip, u"現在選択しているフォルダエリアスを１つ上に移動します"},
    {S::MoveDownTip, u"現在選択しているフォルダエリアスを１つ下に移動します"},
    {S::DeleteTip, u"現在選択しているフォルダエリアスを削除します"},
    {S::DeleteAllTip, u"全て削除します"},
    {S::RenamePrompt, u"フォルダエリアス名を入力してください"},
    {S::RenameTitle, u"フォルダエリアス名の変更"},
    {S::RenameExists, u"すでに存在するフォルダエリアス名には変更できません"},
});

static_assert(IsStrictlyAscending<SharedMsg>(kSharedMessages));

}  // namespace

QString MessageCatalogue::Shared(SharedMsg id) { return LookUpMessage<SharedMsg>(kSharedMessages, id); }
