// See IniText.h. Values are escaped as QSettings escapes them: control
// characters, quotes and backslashes with a backslash, quotes around a value
// holding ";", "," or "=" or starting or ending with a blank, "@" doubled at
// the start; other characters as UTF-8.
#include "settings/IniText.h"

#include <QStringDecoder>

namespace {

const QByteArray kGeneral = QByteArrayLiteral("[General]");

bool HasControlCharacter(const QByteArray& line) {
  for (char c : line)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
  return false;
}

std::optional<QString> StrictUtf8(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (utf8.hasError()) return std::nullopt;
  return text;
}

int HexValue(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  return -1;
}

void AppendCodePoint(QString& out, char32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  out += QString::fromUcs4(&code, 1);
}

// Keys: "\" stands for "/", %XX and %UXXXX for other characters.
QString UnescapeKey(const QString& key) {
  QString out;
  for (qsizetype i = 0; i < key.size(); ++i) {
    const QChar c = key[i];
    if (c == u'\\') {
      out += u'/';
      continue;
    }
    const int digits = (c == u'%' && i + 1 < key.size() && key[i + 1] == u'U') ? 4 : 2;
    const qsizetype start = i + 1 + (digits == 4 ? 1 : 0);
    int code = 0;
    bool ok = c == u'%' && start + digits <= key.size();
    for (qsizetype j = start; ok && j < start + digits; ++j) {
      ok = HexValue(key[j]) >= 0;
      code = code * 16 + HexValue(key[j]);
    }
    if (!ok) {
      out += c;
      continue;
    }
    out += QChar(static_cast<char16_t>(code));  // UTF-16 units: a pair stands for one character
    i = start + digits - 1;
  }
  return out;
}

QByteArray EscapeKey(const QString& key) {
  QByteArray out;
  for (QChar c : key) {
    const char16_t u = c.unicode();
    if (u == u'/') {
      out += '\\';
    } else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
               u == u'-' || u == u'.') {
      out += static_cast<char>(u);
    } else if (u < 0x100) {
      out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    } else {
      out += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
  }
  return out;
}

QByteArray EscapeValue(const QString& value) {
  QByteArray out;
  bool needsQuotes = false;
  bool escapeNextIfDigit = false;  // "\x1" followed by "2" would read as "\x12"
  if (value.startsWith(u'@')) out += '@';
  for (qsizetype i = 0; i < value.size(); ++i) {
    const char16_t c = value[i].unicode();
    if (c == u';' || c == u',' || c == u'=') needsQuotes = true;
    if (escapeNextIfDigit && HexValue(value[i]) >= 0) {
      out += "\\x" + QByteArray::number(c, 16);
      continue;
    }
    escapeNextIfDigit = false;
    switch (c) {
      case u'\0': out += "\\0"; escapeNextIfDigit = true; break;
      case u'\a': out += "\\a"; break;
      case u'\b': out += "\\b"; break;
      case u'\f': out += "\\f"; break;
      case u'\n': out += "\\n"; break;
      case u'\r': out += "\\r"; break;
      case u'\t': out += "\\t"; break;
      case u'\v': out += "\\v"; break;
      case u'"':
      case u'\\':
        out += '\\';
        out += static_cast<char>(c);
        break;
      default:
        if (c < 0x20) {
          out += "\\x" + QByteArray::number(c, 16);
          escapeNextIfDigit = true;
        } else if (value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
          out += QStringView(value).mid(i, 2).toUtf8();
          ++i;
        } else {
          out += QString(value[i]).toUtf8();
        }
    }
  }
  if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
  return out;
}

// One escape after a backslash at text[i]; returns the index of its last character.
qsizetype Unescape(const QString& text, qsizetype i, QString& out) {
  if (i + 1 >= text.size()) return i;  // a backslash at the end stands for nothing
  const QChar c = text[++i];
  switch (c.unicode()) {
    case u'a': out += u'\a'; return i;
    case u'b': out += u'\b'; return i;
    case u'f': out += u'\f'; return i;
    case u'n': out += u'\n'; return i;
    case u'r': out += u'\r'; return i;
    case u't': out += u'\t'; return i;
    case u'v': out += u'\v'; return i;
    default: break;
  }
  const bool hex = c == u'x';
  const bool octal = c >= u'0' && c <= u'7';
  if (!hex && !octal) {
    out += c;
    return i;
  }
  const int base = hex ? 16 : 8;
  char32_t code = 0;
  qsizetype j = hex ? i + 1 : i;
  for (; j < text.size() && HexValue(text[j]) >= 0 && HexValue(text[j]) < base && code <= 0x10FFFF; ++j)
    code = code * base + static_cast<char32_t>(HexValue(text[j]));
  AppendCodePoint(out, code);
  return j - 1;
}

// Blanks around the value and between quoted parts are dropped; ";" outside
// quotes begins a comment. A comma is kept as it stands (QSettings would make
// a list of the parts).
QString UnquotedValue(const QString& text) {
  QString out, blanks;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!quoted) {
      if (c == u';') break;
      if (c == u'"') {
        quoted = true;
        blanks.clear();
        continue;
      }
      if (c == u' ' || c == u'\t') {
        blanks += c;
        continue;
      }
      if (!out.isEmpty()) out += blanks;
      blanks.clear();
    } else if (c == u'"') {
      quoted = false;
      continue;
    }
    if (c == u'\\')
      i = Unescape(text, i, out);
    else
      out += c;
  }
  return out;
}

bool IsTypedValue(const QString& text) {
  for (const char* type : {"@Variant(", "@Rect(", "@Size(", "@Point(", "@DateTime(", "@Invalid("})
    if (text.startsWith(QLatin1String(type))) return true;
  return false;
}

}  // namespace

IniText IniText::parse(const QByteArray& bytes) {
  IniText text;
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const QByteArray line = bytes.mid(start, end - start).trimmed();
    start = end + ((end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') ? 2 : 1);
    if (line.isEmpty() || line.front() == ';' || line.front() == '#' || line == kGeneral) continue;
    const qsizetype eq = line.indexOf('=');
    const auto decoded = HasControlCharacter(line) ? std::nullopt : StrictUtf8(line.left(eq));
    const QString key = decoded ? UnescapeKey(decoded->trimmed()) : QString();
    if (line.front() == '[' || eq <= 0 || key.isEmpty() || !StrictUtf8(line.mid(eq + 1))) {
      ++text.m_damaged;
      continue;
    }
    text.setRaw(key, line.mid(eq + 1).trimmed());
  }
  return text;
}

QByteArray IniText::format() const {
  QByteArray out = kGeneral + '\n';
  for (const QString& key : m_keys) out += EscapeKey(key) + '=' + m_values.value(key) + '\n';
  return out;
}

const QByteArray* IniText::raw(const QString& key) const {
  const auto found = m_values.constFind(key);
  return found == m_values.cend() ? nullptr : &found.value();
}

void IniText::setRaw(const QString& key, const QByteArray& raw) {
  if (!m_values.contains(key)) m_keys << key;
  m_values.insert(key, raw);
}

void IniText::setText(const QString& key, const QString& value) { setRaw(key, EscapeValue(value)); }

void IniText::merge(const IniText& changes) {
  for (const QString& key : changes.m_keys) setRaw(key, changes.m_values.value(key));
}

std::optional<QString> IniValueText(const QByteArray& raw) {
  const QString text = UnquotedValue(QString::fromUtf8(raw));
  if (!text.startsWith(u'@')) return text;
  if (text.startsWith(QLatin1String("@@"))) return text.mid(1);
  for (const char* type : {"@ByteArray(", "@String("})
    if (text.startsWith(QLatin1String(type)) && text.endsWith(u')'))
      return text.mid(qsizetype(qstrlen(type)), text.size() - qsizetype(qstrlen(type)) - 1);
  if (IsTypedValue(text)) return std::nullopt;
  return text;
}
