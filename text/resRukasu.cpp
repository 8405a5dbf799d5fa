// The product message table: captions, tool tips, result log lines and notices
// of this program, by their names in text/MessageIds.h. RemovalQuestionHead is
// left out on purpose: the removal question puts it before the shared
// RemovalQuestion, and it must add nothing there.
#include <array>

#include "text/MessageCatalogue.h"
#include "text/MessageTable.h"

namespace {

using P = ProductMsg;

constexpr auto kProductMessages = std::to_array<MessageEntry<ProductMsg>>({
    // Run buttons and their tool tips
    {P::RunOkavi, u"Okavi解凍"},
    {P::RunNormal, u"通常解凍"},
    {P::RunNoDigits, u"数除解凍"},
    {P::RunFileN, u"FielN解凍"},
    {P::RunOkaviTip, u"解凍先フォルダの下にファイル名（拡張子を除く）のフォルダを作成し解凍します"},
    {P::RunNormalTip, u"解凍先フォルダに解凍します"},
    {P::RunNoDigitsTip, u"解凍先フォルダの下にファイル名（拡張子を除く）から数字を除いたフォルダを作成し解凍します"},
    {P::RunFileNTip, u"解凍先フォルダの下にファイル名（拡張子を含む）のフォルダを作成し解凍します"},
    // Source folder pane
    {P::SourceDirCaption, u"圧縮ファイル格納フォルダ"},
    {P::SourceDriveTip, u"圧縮ファイル格納ドライブを設定します"},
    {P::SourceFolderTip, u"圧縮ファイル格納フォルダを設定します"},
    {P::SourceFolderNameTip, u"現在の圧縮ファイル格納フォルダ"},
    {P::SourceSameAsDestination, u"解凍先フォルダを同一"},
    // Source file pane
    {P::SourceFileCaption, u"圧縮ファイル名"},
    {P::SourceFileListTip, u"解凍したい圧縮ファイルを選択します"},
    {P::AddSelectedTip, u"選択した圧縮ファイルを解凍対象とします"},
    {P::AddAllTip, u"全ての圧縮ファイルを解凍対象とします"},
    {P::AddAllWithSubfoldersTip, u"サブフォルダを含めて全ての圧縮ファイルを解凍対象とします"},
    // Target list
    {P::TargetCaption, u"解凍対象ファイル"},
    {P::TargetListTip, u"このファイル名が解凍の対象となります"},
    {P::RemoveSelectedTip, u"選択した圧縮ファイルを解凍の対象からはずします"},
    {P::RemoveAllTip, u"全ての圧縮ファイルを解凍の対象からはずします"},
    {P::TargetSameAsDestination, u"解凍先フォルダを同一"},
    {P::TargetSameAsSource, u"圧縮ファイル格納フォルダを同一"},
    {P::TargetLimit, u"一度で実行できるファイル数は最大１０００までです。"},
    // Destination folder pane
    {P::DestDirCaption, u"解凍先フォルダ"},
    {P::DestDriveTip, u"解凍先ドライブを設定します"},
    {P::DestFolderTip, u"解凍先フォルダを設定します"},
    {P::DestFolderNameTip, u"現在の解凍先フォルダ"},
    {P::DestSameAsSource, u"圧縮ファイル格納フォルダを同一"},
    // Result log pane
    {P::StatusCaption, u"実行履歴"},
    {P::StatusListTip, u"実行履歴"},
    // Extracted folders pane
    {P::OutFileCaption, u"解凍後フォルダ名"},
    {P::OutFileListTip, u"正常に解凍されたフォルダ名"},
    // Main window status line of this build: a run asked to stop
    {P::StoppingAfterThisArchive, u"解凍中の圧縮ファイルが終わりしだい中断します"},
    {P::StoppingAndQuittingAfterThisArchive, u"解凍中の圧縮ファイルが終わりしだい中断して終了します"},
    // About box
    {P::AboutCaption, u"About"},
    {P::ProgramDescription, u"圧縮ファイル連続解凍プログラム２"},
    // Options dialog: captions
    {P::OptionCaption, u"Option"},
    {P::OptionLzh, u"LZH圧縮ファイル解凍対象(.LZH)"},
    {P::OptionZip, u"ZIP圧縮ファイル解凍対象(.ZIP)"},
    {P::OptionArj, u"ARJ圧縮ファイル解凍対象(.ARJ)"},
    {P::OptionIsh, u"ISH圧縮ファイル解凍対象(.ISH)"},
    {P::OptionCab, u"CAB圧縮ファイル解凍対象(.CAB)"},
    {P::OptionTar, u"TAR関係圧縮ファイル解凍対象"},
    // Options dialog: tool tips
    {P::OptionLzhTip, u"LHA等で圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.LZHです）"},
    {P::OptionZipTip, u"PKZIP WINZIP等で圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.ZIPです）"},
    {P::OptionArjTip, u"ARJ WINARJ等で圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.ARJです）"},
    {P::OptionIshTip, u"ISH等で石化されたファイルを解石の対象にします。（基本的に拡張子は.ISHです）"},
    {P::OptionCabTip, u"マイクロソフトの圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.CABです）"},
    {P::OptionTarTip, u"TAR COMPRESS 等で圧縮又はまとめたファイルを解凍の対象にします。"},
    {P::OptionLzhExeTip, u"LZH形式で自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionLzhXTip, u"LZH形式でＸ６８自己解凍形式のファイル（拡張子.X）も解凍の対象とします。"},
    {P::OptionLzhLhaTip, u"LZH形式で拡張子が.LHAも解凍の対象とします。"},
    {P::OptionZipExeTip, u"ZIP形式で自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionArjExeTip, u"ARJ形式で自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionIshLogTip, u"ISH形式で通信ソフト等のログファイル（拡張子.LOG）も解石の対象とします。"},
    {P::OptionCabExeTip, u"マイクロソフトの自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionTarTarTip, u"TAR形式でまとめたファイルを解凍の対象とします。"},
    {P::OptionTarTargzTip, u"TAR+GZIP形式でまとめたファイル（拡張子.TAR.GZ）を解凍の対象とします。"},
    {P::OptionTarTgzTip, u"TAR+GZIP形式でまとめたファイル（拡張子.TGZ）を解凍の対象とします。"},
    {P::OptionTarTarzTip, u"TAR+COMPRESS形式でまとめたファイル（拡張子.TAR.Z）を解凍の対象とします。"},
    {P::OptionTarTazTip, u"TAR+COMPRESS形式でまとめたファイル（拡張子.TAZ）を解凍の対象とします。"},
    {P::OptionTarGzTip, u"GZIP形式で圧縮されたファイル（拡張子.GZ）を解凍の対象とします。"},
    {P::OptionTarZTip, u"COMPRESS形式で圧縮されたファイル（拡張子.Z）を解凍の対象とします。"},
    // Options dialog: after-extraction action
    {P::AfterExtraction, u"圧縮ファイルの解凍後の処理"},
    {P::AfterNone, u"通常"},
    {P::AfterCopy, u"複写"},
    {P::AfterMove, u"移動"},
    {P::AfterDelete, u"削除"},
    {P::AfterNoneTip, u"通常です。"},
    {P::AfterCopyTip, u"解凍正常終了後、圧縮ファイルは解凍先フォルダにコピーします。"},
    {P::AfterMoveTip, u"解凍正常終了後、圧縮ファイルは解凍先フォルダに移動します。"},
    {P::AfterDeleteTip, u"解凍正常終了後、圧縮ファイルは削除します。"},
    // Options dialog: folder names, double archives, automatic run
    {P::OptionUCase, u"自動作成するフォルダは大文字"},
    {P::OptionDouble, u"２重圧縮ファイルの解凍"},
    {P::OptionAuto, u"起動時の圧縮ファイルは自動的に実行"},
    {P::OptionUCaseTip, u"解凍時に作成するフォルダ名はファイル名に関わらず大文字にします。"},
    {P::OptionDoubleTip, u"Mivoシリーズの２重圧縮ファイルを通常の１重圧縮のファイルのように扱います。"},
    {P::OptionAutoTip, u"起動時にファイル名を指定した場合、自動的に実行します。（フォームは表示されません）"},
    {P::AutoOkavi, u"Okavi"},
    {P::AutoNormal, u"通常"},
    {P::AutoNoDigits, u"数除"},
    {P::AutoFileN, u"FileN"},
    {P::AutoOkaviTip, u"自動的にＯｋａｖｉ解凍を実行します。"},
    {P::AutoNormalTip, u"自動的に通常解凍を実行します。"},
    {P::AutoNoDigitsTip, u"自動的に数除解凍を実行します。"},
    {P::AutoFileNTip, u"自動的にＦＩｌｅＮ解凍を実行します。"},
    // Options dialog: RAR
    {P::OptionRar, u"RAR圧縮ファイル解凍対象(.RAR)"},
    {P::OptionRarExeTip, u"ＲＡＲ形式の自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionRarTip, u"ＷＩＮＲＡＲ等で圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.RARです）"},
    // Options dialog: bzip2 kinds
    {P::OptionTarTarBz2Tip, u"TAR+BZIP2形式でまとめたファイル（拡張子.TAR.BZ2）を解凍の対象とします。"},
    {P::OptionTarBzip2Tip, u"BZIP2形式で圧縮されたファイル（拡張子.BZIP2）を解凍の対象とします。"},
    {P::OptionTarBz2Tip, u"BZIP2形式で圧縮されたファイル（拡張子.BZ2）を解凍の対象とします。"},
    // Options dialog: 7z, and the TAR kinds of xz, zstd, lzip and lzma
    {P::OptionSevenZip, u"7Z圧縮ファイル解凍対象(.7Z)"},
    {P::OptionSevenZipTip, u"7-Zip等で圧縮されたファイルを解凍の対象にします。（基本的に拡張子は.7Zです）"},
    {P::OptionSevenZipExeTip, u"７Ｚ形式の自己解凍形式のファイル（拡張子.EXE）も解凍の対象とします。"},
    {P::OptionTarTarXzTip, u"TAR+XZ形式でまとめたファイル（拡張子.TAR.XZ）を解凍の対象とします。"},
    {P::OptionTarTxzTip, u"TAR+XZ形式でまとめたファイル（拡張子.TXZ）を解凍の対象とします。"},
    {P::OptionTarXzTip, u"XZ形式で圧縮されたファイル（拡張子.XZ）を解凍の対象とします。"},
    {P::OptionTarTarZstTip, u"TAR+ZSTD形式でまとめたファイル（拡張子.TAR.ZST）を解凍の対象とします。"},
    {P::OptionTarTzstTip, u"TAR+ZSTD形式でまとめたファイル（拡張子.TZST）を解凍の対象とします。"},
    {P::OptionTarZstTip, u"ZSTD形式で圧縮されたファイル（拡張子.ZST）を解凍の対象とします。"},
    {P::OptionTarTarLzTip, u"TAR+LZIP形式でまとめたファイル（拡張子.TAR.LZ）を解凍の対象とします。"},
    {P::OptionTarLzTip, u"LZIP形式で圧縮されたファイル（拡張子.LZ）を解凍の対象とします。"},
    {P::OptionTarTarLzmaTip, u"TAR+LZMA形式でまとめたファイル（拡張子.TAR.LZMA）を解凍の対象とします。"},
    {P::OptionTarTlzTip, u"TAR+LZMA形式でまとめたファイル（拡張子.TLZ）を解凍の対象とします。"},
    {P::OptionTarLzmaTip, u"LZMA形式で圧縮されたファイル（拡張子.LZMA）を解凍の対象とします。"},
    // Default folders dialog
    {P::DefaultCaption, u"Default"},
    {P::CopyFromSource, u"現在の圧縮ファイル格納フォルダからコピー"},
    {P::CopyFromDestination, u"現在の解凍先フォルダからコピー"},
    {P::CopyFromTemporary, u"Ｗｉｎｄｏｗｓのテンポラリからコピー"},
    // After a file name that is not UTF-8
    {P::NameCp932Mark, u"［SJIS］"},
    {P::NameRawBytesMark, u"［UTF-8 以外］"},
    // Main window caption and program name
    {P::MainCaption, u"Rukasu2 for Linux"},
    // Default folders dialog: captions and hints of its three uses
    {P::DefaultSourceCaption, u"圧縮ファイル格納フォルダ名"},
    {P::DefaultDestCaption, u"解凍先フォルダ名"},
    {P::DefaultTmpCaption, u"テンポラリフォルダ名"},
    {P::DefaultSourceInForceTip, u"初期設定を無効にして、常に終了時のフォルダに復帰します"},
    {P::DefaultSourceDriveTip, u"初期設定の圧縮ファイル格納ドライブ名を設定します"},
    {P::DefaultSourceFolderTip, u"初期設定の圧縮ファイル格納フォルダ名を設定します"},
    {P::DefaultSourceFolderNameTip, u"初期設定の圧縮ファイル格納フォルダ名"},
    {P::DefaultDestInForceTip, u"初期設定を無効にして、常に終了時のフォルダに復帰します"},
    {P::DefaultDestDriveTip, u"初期設定の解凍先ドライブ名を設定します"},
    {P::DefaultDestFolderTip, u"初期設定の解凍先フォルダ名を設定します"},
    {P::DefaultDestFolderNameTip, u"初期設定の解凍先フォルダ名"},
    {P::DefaultTmpInForceTip, u""},  // the temporary folder has no in-force box
    {P::DefaultTmpDriveTip, u"テンポラリドライブ名を設定します"},
    {P::DefaultTmpFolderTip, u"テンポラリフォルダ名を設定します"},
    {P::DefaultTmpFolderNameTip, u"テンポラリフォルダ名"},
    // Result log lines of an extraction: progress
    {P::LogLzhExtracting, u"\u3000ＬＺＨ解凍中です"},
    {P::LogZipExtracting, u"\u3000ＺＩＰ解凍中です"},
    {P::LogIshDecoding, u"\u3000ＩＳＨ解石中です"},
    {P::LogArjExtracting, u"\u3000ＡＲＪ解凍中です"},
    {P::LogCabExtracting, u"\u3000ＣＡＢ解凍中です"},
    {P::LogTarExtracting, u"\u3000ＴＡＲ解凍中です"},
    {P::LogSevenZipExtracting, u"\u3000７Ｚ解凍中です"},
    // Result log lines: probes
    {P::LogLzhChecking, u"\u3000ＬＺＨ確認中です"},
    {P::LogZipChecking, u"\u3000ＺＩＰ確認中です"},
    {P::LogIshChecking, u"\u3000ＩＳＨ確認中です"},
    {P::LogArjChecking, u"\u3000ＡＲＪ確認中です"},
    {P::LogCabChecking, u"\u3000ＣＡＢ確認中です"},
    {P::LogSevenZipChecking, u"\u3000７Ｚ確認中です"},
    // Result log lines: double archives, RAR
    {P::LogLzhOuterPass, u"\u3000ＬＺＨ１重解凍中です"},
    {P::LogLzhInnerPass, u"\u3000ＬＺＨ２重解凍中です"},
    {P::LogZipOuterPass, u"\u3000ＺＩＰ１重解凍中です"},
    {P::LogZipInnerPass, u"\u3000ＺＩＰ２重解凍中です"},
    {P::LogRarExtracting, u"\u3000ＲＡＲ解凍中です"},
    {P::LogRarChecking, u"\u3000ＲＡＲ確認中です"},
    {P::LogSevenZipOuterPass, u"\u3000７Ｚ１重解凍中です"},
    {P::LogSevenZipInnerPass, u"\u3000７Ｚ２重解凍中です"},
    {P::LogTarInnerPass, u"\u3000ＴＡＲ２重解凍中です"},
    // Result log lines: outcome
    {P::LogNotDeleted, u"\u3000削除できませんでした"},
    {P::LogExtracted, u"\u3000解凍正常終了しました"},
    {P::LogNotExtracted, u"\u3000解凍できませんでした"},
    {P::LogUnexpectedFailure, u"\u3000異常が発生しました"},
    {P::LogNoDestination, u"\u3000解凍先が無いか異常です"},
    {P::LogNotAnArchive, u"\u3000ファイルが無いか、解凍できる圧縮ファイルではありません"},
    // Result log lines: library result codes
    {P::LogSkippedHead, u"\u3000スキップされたファイルが"},
    {P::LogSkippedTail, u"あります"},
    {P::LogDiskFull, u"\u3000解凍する為のディスクの空きが足りません"},
    {P::LogNotWritable, u"\u3000解凍先が書き込みできません"},
    {P::LogCancelled, u"\u3000キャンセルされました"},
    // Result log lines of this build: what a careful extraction reports beyond the above
    {P::LogTmpDirUnusable, u"\u3000テンポラリフォルダが無いか異常です"},
    {P::LogMoveCopyFailed, u"\u3000複写できなかったため、圧縮ファイルは削除しませんでした"},
    {P::LogArchiveChanged, u"\u3000解凍中に圧縮ファイルが変更されたため、処理しませんでした"},
    {P::LogStandInFailed, u"\u3000ファイル名をモジュールに渡せませんでした"},
    {P::LogCopyTargetDiffers, u"\u3000解凍先に同名の別ファイルがあるため、複写しませんでした"},
    {P::LogKeptSkipped, u"\u3000スキップされたファイルがあるため、圧縮ファイルは処理しませんでした"},
    {P::LogCopyFailed, u"\u3000圧縮ファイルを複写できませんでした"},
    {P::LogKeptUnproven, u"\u3000書庫の全体を確かめられなかったため、圧縮ファイルはそのままにしました"},
    {P::LogDeletedWithoutTrash, u"\u3000ゴミ箱が使えない場所のため、圧縮ファイルは完全に削除しました"},
    {P::LogExtractedUnproven, u"\u3000解凍を終えましたが、正常終了ではありません"},
    // Volume sets: a later volume on the target list after its set was extracted
    {P::LogSetVolumeHead, u"\u3000分割書庫 "},
    {P::LogSetVolumeTail, u" の巻として解凍済みです"},
    {P::LogSetNotWhole, u"\u3000分割書庫の巻をすべて確かめられないため、圧縮ファイルは処理しませんでした"},
    // Busy-library notices
    {P::BusyUnlha, u"現在UNLHA32.DLLは使用中です"},
    {P::BusyUnzip, u"現在UNZIP32.DLLは使用中です"},
    {P::BusyIsh, u"現在ISH32.DLLは使用中です"},
    {P::BusyUnarj, u"現在UNARJ32J.DLLは使用中です"},
    {P::BusyCab, u"現在CAB32.DLLは使用中です"},
    {P::BusyTar, u"現在TAR32.DLLは使用中です"},
    {P::BusyUnrar, u"現在UNRAR32.DLLは使用中です"},
    {P::BusySevenZip, u"現在SEVENZIP32.DLLは使用中です"},
    // Passwords of encrypted archives
    {P::LogKeyringUnavailable, u"\u3000キーリングが使えないため、パスワードはこの実行の間だけ覚えます"},
    {P::LogPasswordFileUnreadable, u"パスワードファイルを読めません："},
    {P::PasswordCaption, u"パスワードの入力"},
    {P::PasswordPrompt, u"次の書庫のパスワードを入力してください。"},
    {P::PasswordWrongPrompt, u"パスワードが違います。次の書庫のパスワードを入力してください。"},
    {P::PasswordRemember, u"パスワードを記憶する"},
    {P::PasswordSkip, u"この書庫を飛ばす"},
    {P::PasswordCancelRun, u"解凍を中止"},
    {P::PasswordsButton, u"記憶したパスワード..."},
    {P::PasswordsCaption, u"記憶したパスワード"},
    {P::PasswordsRemove, u"削除"},
    {P::PasswordsRemoveAll, u"すべて削除"},
    {P::PasswordsNoKeyring, u"キーリングが使えないため、パスワードを記憶できません。"},
});

static_assert(IsStrictlyAscending<ProductMsg>(kProductMessages));

}  // namespace

QString MessageCatalogue::Product(ProductMsg id) { return LookUpMessage<ProductMsg>(kProductMessages, id); }
