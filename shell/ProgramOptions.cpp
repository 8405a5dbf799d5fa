// See ProgramOptions.h.
#include "shell/ProgramOptions.h"

namespace {

std::optional<int16_t> ModeFromText(const QString& text) {
  static const char* const kNames[] = {"okavi", "normal", "nodigits", "filen"};
  for (int16_t i = 0; i < 4; ++i)
    if (text.compare(QLatin1String(kNames[i]), Qt::CaseInsensitive) == 0 || text == QString::number(i)) return i;
  return std::nullopt;
}

// "--name=value" or "--name" followed by the value in the next argument.
bool TakeValue(const QStringList& arguments, qsizetype& i, const QString& name, QString& value) {
  const QString& a = arguments[i];
  if (a.startsWith(name + u'=')) {
    value = a.mid(name.size() + 1);
    return true;
  }
  if (a != name) return false;
  value = i + 1 < arguments.size() ? arguments[++i] : QString();
  return true;
}

}  // namespace

ProgramOptions ProgramOptions::Parse(const QStringList& arguments) {
  ProgramOptions o;
  bool switches = true;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    QString value;
    if (!switches || !a.startsWith(QStringLiteral("--"))) {
      o.names << a;
    } else if (a == QStringLiteral("--")) {
      switches = false;
    } else if (a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      o.help = true;
    } else if (a == QStringLiteral("--version")) {
      o.version = true;
    } else if (a == QStringLiteral("--auto")) {
      o.autoRun = true;
    } else if (TakeValue(arguments, i, QStringLiteral("--mode"), value)) {
      o.mode = ModeFromText(value);
      if (!o.mode) o.error = QStringLiteral("--mode に指定できるのは okavi, normal, nodigits, filen（または 0〜3）です: ") + value;
    } else if (TakeValue(arguments, i, QStringLiteral("--dest"), value)) {
      o.dest = value;
      if (value.isEmpty()) o.error = QStringLiteral("--dest に解凍先フォルダを指定してください");
    } else {
      o.error = QStringLiteral("不明なオプションです: ") + a;
    }
  }
  if (o.error.isEmpty() && (o.mode || !o.dest.isEmpty()) && !o.autoRun)
    o.error = QStringLiteral("--mode と --dest は --auto と一緒に指定してください");
  return o;
}

QString HelpText() {
  return QStringLiteral(
      "使い方: rukasu2 [圧縮ファイル ...]\n"
      "        rukasu2 --auto [--mode モード] [--dest 解凍先フォルダ] 圧縮ファイル ...\n"
      "        rukasu2 /U\n"
      "\n"
      "圧縮ファイルをまとめて解凍します。ファイル名だけを指定すると、解凍対象ファイルに入れてウインドウを開きます\n"
      "（オプションで「起動時の圧縮ファイルは自動的に実行」がオンのときは、ウインドウを出さずに解凍します）。\n"
      "\n"
      "  --auto         この起動に限り、ウインドウを出さずに解凍して終了します。\n"
      "                 ディスプレイが無いときも動きます。結果は標準出力に書きます。\n"
      "  --mode モード  解凍モード: okavi（Okavi解凍）, normal（通常解凍）, nodigits（数除解凍）,\n"
      "                 filen（FielN解凍）、または 0〜3。省略時はオプションの自動実行のモードです。\n"
      "  --dest フォルダ 解凍先フォルダ。省略時は解凍先フォルダのペインの起動時のフォルダです。\n"
      "  --version      バージョンと、見つかった解凍モジュールを表示します。\n"
      "  --help         この説明を表示します。\n"
      "  /U             保存した設定をすべて削除します（確認があります）。\n"
      "  --             これ以降の引数はすべてファイル名として扱います。\n"
      "\n"
      "自動実行の終了コード: 0 すべて解凍した、1 解凍できなかったファイルがある、2 中断した、64 指定の誤り。\n");
}
