// See SettingsFault.h.
#include "settings/SettingsFault.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QFileInfo>
#include <QStringList>

namespace {

QString ErrorText(int error) {
  switch (error) {
    case EACCES: return QStringLiteral("アクセスが拒否されました（所有者または権限）");
    case EPERM: return QStringLiteral("操作が許可されていません（所有者、権限または属性）");
    case EROFS: return QStringLiteral("読み取り専用のファイルシステムです");
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
    case EDQUOT: return QStringLiteral("ディスクの使用量の制限を超えています");
    case EIO: return QStringLiteral("入出力エラーが発生しました");
    case EISDIR: return QStringLiteral("ファイルではなくフォルダです");
    case ENOTDIR: return QStringLiteral("パスの途中にフォルダでないものがあります");
    case ENOENT: return QStringLiteral("見つかりません");
    case EFBIG: return QStringLiteral("設定ファイルとしては大きすぎます");
    case ENODEV: return QStringLiteral("通常のファイルではありません");
    case ENAMETOOLONG: return QStringLiteral("パスが長すぎます");
    case EBUSY: return QStringLiteral("ほかの Rukasu2 が設定ファイルを使用中です");
    default:
      return QStringLiteral("エラー番号 %1（%2）").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
  }
}

QString Reason(const SettingsFault& fault) {
  if (!fault.inFolder) return ErrorText(fault.error);
  return QStringLiteral("フォルダ %1 に書き込めません: %2")
      .arg(QFileInfo(fault.path).absolutePath(), ErrorText(fault.error));
}

QString Paragraph(const SettingsFault& fault) {
  switch (fault.kind) {
    case SettingsFault::Kind::Unreadable: {
      QString text = QStringLiteral("設定ファイルを読み込めませんでした。このファイルの設定の代わりに初期設定を使います。\n%1\n理由: %2")
                         .arg(fault.path, Reason(fault));
      if (fault.notWritable) text += QStringLiteral("\nこのファイルには書き込めないため、終了時に設定を保存できません。");
      return text;
    }
    case SettingsFault::Kind::Damaged: {
      const QString text = QStringLiteral("設定ファイルに読み取れない行が %1 行ありました。読み取れた設定で起動します。\n%2\n")
                               .arg(fault.damagedLines)
                               .arg(fault.path);
      if (fault.notWritable)
        return text + QStringLiteral("このファイルには書き込めないため、ファイルはそのまま残り、終了時に設定を保存できません。");
      return text + QStringLiteral("元のファイルは、次に設定を保存するときに %1.bak として残します。").arg(fault.path);
    }
    case SettingsFault::Kind::NotSaved:
      return QStringLiteral("設定を保存できませんでした。今回の変更は保存されていません。\n%1\n理由: %2")
          .arg(fault.path, Reason(fault));
    case SettingsFault::Kind::NotRemoved:
      return QStringLiteral("設定ファイルを削除できませんでした。\n%1\n理由: %2\n次のコマンドで削除できます:\n%3")
          .arg(fault.path, Reason(fault), RemovalCommand(fault.path));
  }
  return {};
}

QString Quoted(const QString& path) {
  QString quoted = path;
  quoted.replace(u'\'', QLatin1String("'\\''"));
  return u'\'' + quoted + u'\'';
}

}  // namespace

QString SettingsFaultMessage(const QList<SettingsFault>& faults) {
  QStringList paragraphs;
  for (const SettingsFault& fault : faults) paragraphs << Paragraph(fault);
  return paragraphs.join(QLatin1String("\n\n"));
}

QString LoadFailureText(const QString& report, const QString& settingsFile) {
  return report + QStringLiteral("\n\n設定ファイル: %1\n「rukasu2 /U」で起動すると、設定を初期化できます。").arg(settingsFile);
}

QString RemovalCommand(const QString& path) {
  const QFileInfo file(path);
  const QFileInfo folder(file.absolutePath());
  const QString remove = (file.isDir() && !file.isSymLink() ? QStringLiteral("rm -r ") : QStringLiteral("rm -f ")) +
                         Quoted(path);
  const bool foreign = folder.ownerId() != ::geteuid() || (file.isDir() && file.ownerId() != ::geteuid());
  if (foreign) return QStringLiteral("sudo ") + remove;
  if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK | X_OK) != 0)
    return QStringLiteral("chmod u+w %1 && %2").arg(Quoted(folder.filePath()), remove);
  return remove;
}
