// The words for each failure code; see ResultCodes.h.
#include "archivers/common/ResultCodes.h"

namespace rkarc {

const char* FailureText(int32_t code) {
  switch (code) {
    case kErrCommand: return "コマンドが正しくありません";
    case kErrArchiveOpen: return "書庫を読めません";
    case kErrNotArchive: return "書庫ではありません";
    case kErrOutputFolder: return "解凍先フォルダがありません";
    case kErrDiskFull: return "ディスクの空きが足りません";
    case kErrNotWritable: return "解凍先に書き込めません";
    case kErrChecksum: return "CRCが一致しません";
    case kErrUnsupported: return "対応していない圧縮方式です";
    case kErrEncrypted: return "暗号化されています（パスワードが必要です）";
    case kErrMultiVolume: return "分割書庫の続きがありません";
    case kErrUnsafeName: return "安全でない名前です";
    case kErrUnsafeType: return "安全でない種類のファイルです";
    case kErrWrite: return "書き込めません";
    case kErrMemory: return "メモリが足りません";
    case kErrInternal: return "内部エラー";
    case kErrNoMember: return "指定したファイルが書庫にありません";
    case kErrWrongPassword: return "パスワードが違います";
    default: return "書庫が壊れています";
  }
}

}  // namespace rkarc
