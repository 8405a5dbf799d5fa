// See ProgramOptions.h.
#include "shell/ProgramOptions.h"

#include <QList>
#include <algorithm>
#include <span>
#include <utility>

namespace {

// The usage text, made by the build from dist/man/rukasu2.usage, the source of
// the manual pages too: H a heading, L a line shown as it is, P the first line
// of a paragraph, C a further line of it, T the term of a list entry, D a line
// that describes the term.
struct UsageRow {
  char kind;
  const char* text;
};

#include "UsageText.inc"

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
    if (switches && (a == QStringLiteral("--help") || a == QStringLiteral("-h"))) {
      o.help = true;
    } else if (!switches || !a.startsWith(QStringLiteral("--"))) {
      o.names << a;
    } else if (a == QStringLiteral("--")) {
      switches = false;
    } else if (a == QStringLiteral("--help")) {
      o.help = true;
    } else if (a == QStringLiteral("--version")) {
      o.version = true;
    } else if (a == QStringLiteral("--auto")) {
      o.autoRun = true;
    } else if (a == QStringLiteral("--here")) {
      o.here = true;
    } else if (a == QStringLiteral("--notify")) {
      o.notify = true;
    } else if (TakeValue(arguments, i, QStringLiteral("--mode"), value)) {
      o.mode = ModeFromText(value);
      if (!o.mode) o.error = QStringLiteral("--mode に指定できるのは okavi, normal, nodigits, filen（または 0〜3）です: ") + value;
    } else if (TakeValue(arguments, i, QStringLiteral("--password-file"), value)) {
      o.passwordFile = value;
      if (value.isEmpty()) o.error = QStringLiteral("--password-file にパスワードのファイルを指定してください");
    } else if (TakeValue(arguments, i, QStringLiteral("--dest"), value)) {
      o.dest = value;
      if (value.isEmpty()) o.error = QStringLiteral("--dest に解凍先フォルダを指定してください");
    } else {
      o.error = QStringLiteral("不明なオプションです: ") + a;
    }
  }
  if (!o.error.isEmpty()) return o;
  if ((o.mode || !o.dest.isEmpty() || o.here || o.notify) && !o.autoRun)
    o.error = QStringLiteral("--mode、--dest、--here、--notify は --auto と一緒に指定してください");
  else if (o.here && !o.dest.isEmpty())
    o.error = QStringLiteral("--here と --dest は一緒に指定できません");
  return o;
}

namespace {

using Lines = QList<std::pair<char, QString>>;

// Where the descriptions of a section's list entries begin: two columns past
// its widest term, but no further than column 20 (a longer term puts its
// description on the next line).
int DescriptionColumn(const Lines& lines, qsizetype from) {
  int column = 0;
  for (qsizetype i = from; i < lines.size() && lines[i].first != 'H'; ++i)
    if (lines[i].first == 'T') column = std::max(column, 2 + TerminalColumns(lines[i].second) + 2);
  return std::min(column, 20);
}

// The English lines of the usage source are as wide as the manual page's:
// each paragraph is joined into one line here and filled anew (Filled).
Lines Paragraphs(std::span<const UsageRow> rows, bool join) {
  Lines out;
  char previous = 0;
  for (const UsageRow& row : rows) {
    const QString text = QString::fromUtf8(row.text);
    if (join && ((row.kind == 'C' && (previous == 'P' || previous == 'C')) || (row.kind == 'D' && previous == 'D')))
      out.back().second += u' ' + text;
    else
      out.append({join && row.kind == 'C' ? 'P' : row.kind, text});
    previous = row.kind;
  }
  return out;
}

constexpr int kHelpWidth = 79;

// The text in lines of `width` columns at most, broken at blanks.
QStringList Filled(const QString& text, int width) {
  QStringList lines;
  QString line;
  for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
    if (!line.isEmpty() && TerminalColumns(line) + 1 + TerminalColumns(word) > width) {
      lines << line;
      line.clear();
    }
    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

}  // namespace

QString HelpText(bool japanese) {
  // Japanese lines are shown as the source breaks them; they have no blanks to break at.
  const Lines lines = japanese ? Paragraphs(kUsageJa, false) : Paragraphs(kUsageEn, true);
  const auto fill = [japanese](const QString& text, int width) {
    return japanese ? QStringList{text} : Filled(text, width);
  };
  QString out;
  QString term;  // an entry's term, waiting for the first line that describes it
  int column = DescriptionColumn(lines, 0);
  char previous = 0;
  auto endTerm = [&] {
    if (term.isEmpty()) return;
    out += QStringLiteral("  ") + term + u'\n';
    term.clear();
  };
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const auto& [kind, text] = lines[i];
    if (kind != 'D') endTerm();
    switch (kind) {
      case 'H':
        if (!out.isEmpty()) out += u'\n';
        out += text + QStringLiteral(":\n");
        column = DescriptionColumn(lines, i + 1);
        break;
      case 'L':
        out += QStringLiteral("  ") + text + u'\n';
        break;
      case 'P':
        if (!out.isEmpty() && previous != 'H') out += u'\n';
        [[fallthrough]];
      case 'C':
        for (const QString& line : fill(text, kHelpWidth)) out += line + u'\n';
        break;
      case 'T':
        term = text;
        break;
      case 'D':
        for (const QString& line : fill(text, kHelpWidth - column)) {
          if (!term.isEmpty() && 2 + TerminalColumns(term) < column) {
            out += QStringLiteral("  ") + term + QString(column - 2 - TerminalColumns(term), u' ');
            term.clear();
          } else {
            endTerm();
            out += QString(column, u' ');
          }
          out += line + u'\n';
        }
        break;
    }
    previous = kind;
  }
  endTerm();
  return out;
}

bool JapaneseLocale() {
  // As the C library picks the language of messages: the first of these that is set.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QByteArray value = qgetenv(name);
    if (!value.isEmpty()) return value.startsWith("ja");
  }
  return false;
}

int TerminalColumns(const QString& text) {
  int columns = 0;
  for (const char32_t c : text.toUcs4()) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
    columns += wide ? 2 : 1;
  }
  return columns;
}
