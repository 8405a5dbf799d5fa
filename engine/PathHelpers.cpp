// The text-only path and name helpers; the ones that ask the file system are
// in PathHelpersDisk.cpp. See PathHelpers.h.
#include "engine/PathHelpers.h"

#include <QStringList>
#include <optional>
#include <string_view>

#include "engine/ArchiveKinds.h"
#include "platform/Cp932.h"
#include "platform/FileName.h"
#include "text/MessageCatalogue.h"

namespace {

const QChar kSeparator = u'/';

std::string_view View(const QByteArray& bytes) { return {bytes.constData(), static_cast<size_t>(bytes.size())}; }

// One component (no "/") for the user's eyes; see DisplayPath.
QString DisplayComponent(const QString& name) {
  if (!HasRawBytes(name)) return name;
  if (const auto text = cp932::ToUtf8Strict(View(FileNameBytes(name))))
    return QString::fromStdString(*text) + MessageCatalogue::Product(ProductMsg::NameCp932Mark);
  QString out;
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (IsRawByteAt(name, i))
      out += QString::asprintf("\\x%02X", static_cast<unsigned char>(RawByteAt(name, i)));
    else
      out += name[i];
  }
  return out + MessageCatalogue::Product(ProductMsg::NameRawBytesMark);
}

// Calls `change` on each "/"-separated component and joins the results.
template <typename Change>
QString EachComponent(const QString& path, Change change) {
  QString out;
  for (qsizetype start = 0;;) {
    const qsizetype slash = path.indexOf(kSeparator, start);
    out += change(path.mid(start, slash < 0 ? -1 : slash - start));
    if (slash < 0) return out;
    out += kSeparator;
    start = slash + 1;
  }
}

// The upper-case rule on code points; a lone surrogate (a byte that is not
// UTF-8) stays as it is.
QString UpperText(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    const bool keep = (c >= 0xFF41 && c <= 0xFF5A) || (c >= 0x03B1 && c <= 0x03C9) ||
                      (c >= 0x0430 && c <= 0x044F) || (c >= 0xD800 && c <= 0xDFFF);
    const char32_t upper = keep ? c : QChar::toUpper(c);
    if (QChar::requiresSurrogates(upper)) {
      out += QChar(QChar::highSurrogate(upper));
      out += QChar(QChar::lowSurrogate(upper));
    } else {
      out += QChar(static_cast<char16_t>(upper));
    }
  }
  return out;
}

// The CP932 bytes upper-cased character by character: a character whose
// upper case CP932 cannot hold, and every byte of a two-byte character,
// stays as it was. nullopt when the bytes are not CP932.
std::optional<QByteArray> UpperCp932(const QByteArray& bytes) {
  if (!cp932::ToUtf8Strict(View(bytes))) return std::nullopt;
  QByteArray out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (!cp932::IsLeadByte(lead) || i + 1 >= bytes.size()) {
      out += (lead >= 'a' && lead <= 'z') ? static_cast<char>(lead - 'a' + 'A') : static_cast<char>(lead);
      ++i;
      continue;
    }
    const QByteArray character = bytes.mid(i, 2);
    i += 2;
    const QString text = QString::fromStdString(cp932::ToUtf8Strict(View(character)).value_or(std::string()));
    const QString upper = UpperText(text);
    const std::string encoded = cp932::FromUtf8(upper.toStdString());
    const auto back = cp932::ToUtf8Strict(encoded);
    out += upper != text && back && QString::fromStdString(*back) == upper
               ? QByteArray(encoded.data(), static_cast<qsizetype>(encoded.size()))
               : character;
  }
  return out;
}

}  // namespace

QString DispPath_Get(const QString& path) {
  QStringList pieces;
  qsizetype start = 0;
  for (qsizetype i = 0; i < path.size(); ++i) {
    if (path[i] == kSeparator) {
      pieces << path.mid(start, i - start + 1);
      start = i + 1;
    }
  }
  if (start < path.size()) pieces << path.mid(start);
  const qsizetype k = pieces.size();
  if (k <= 4) return DisplayPath(path);
  return DisplayPath(pieces[0] + pieces[1] + QStringLiteral("...") + kSeparator + pieces[k - 2] + pieces[k - 1]);
}

namespace {

// A control character (a line break, a tab ...) in a name would break the
// line it is shown on: it shows as "\xNN" too.
QString EscapedControls(QString text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= 0x20 && c != 0x7F) continue;
    const QString escaped = QString::asprintf("\\x%02X", static_cast<unsigned>(c));
    text.replace(i, 1, escaped);
    i += escaped.size() - 1;
  }
  return text;
}

}  // namespace

QString DisplayPath(const QString& path) {
  return EscapedControls(HasRawBytes(path) ? EachComponent(path, DisplayComponent) : path);
}

QString DigitCut_Get(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= u'0' && c <= u'9') return i == 0 ? text : text.left(i);
  }
  return text;
}

QString FileName_Get(const QString& path) {
  const qsizetype p = path.lastIndexOf(kSeparator);
  if (p < 0 || p == path.size() - 1) return {};
  return path.mid(p + 1);
}

QString BaseName_Get(const QString& path, bool tar, bool doubleExt) {
  const QString name = FileName_Get(path);
  if (name.isEmpty()) return {};
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot < 0) return name;
  // An extension of several parts goes whole when a name is left before it.
  if (const qsizetype whole = CompoundExtensionLength(name, tar, doubleExt)) return name.chopped(whole);
  return name.left(dot);
}

QString ParentDir_Get(const QString& path) {
  const qsizetype p = path.lastIndexOf(kSeparator);
  if (p < 0) return {};
  if (p == 0) return QString(kSeparator);  // the root keeps its separator
  return path.left(p);
}

QString Exp_Get(const QString& path, bool tar, bool doubleExt) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (path[i] == kSeparator) return {};
    if (path[i] != u'.') continue;
    if (const qsizetype whole = CompoundExtensionLength(path, tar, doubleExt)) return path.right(whole);
    return path.mid(i);
  }
  return {};
}

QString UCase_Get(const QString& text) {
  if (!HasRawBytes(text)) return UpperText(text);
  return EachComponent(text, [](const QString& component) {
    if (!HasRawBytes(component)) return UpperText(component);
    const std::optional<QByteArray> cp932 = UpperCp932(FileNameBytes(component));
    return cp932 ? FileNameFromBytes(*cp932) : UpperText(component);
  });
}
