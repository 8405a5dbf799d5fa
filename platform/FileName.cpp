// See FileName.h.
#include "platform/FileName.h"

#include <string_view>

#include "platform/Cp932.h"

namespace {

std::string_view View(QByteArrayView bytes) { return {bytes.data(), static_cast<size_t>(bytes.size())}; }

// The length of the valid UTF-8 sequence at bytes[i], or 0 when none starts there.
qsizetype Utf8Length(QByteArrayView bytes, qsizetype i) {
  const auto c = static_cast<unsigned char>(bytes[i]);
  const qsizetype length = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
  if (length <= 1 || i + length > bytes.size()) return length == 1 ? 1 : 0;
  return cp932::IsValidUtf8(View(bytes.sliced(i, length))) ? length : 0;
}

}  // namespace

QString FileNameFromBytes(QByteArrayView bytes) {
  if (cp932::IsValidUtf8(View(bytes))) return QString::fromUtf8(bytes);
  QString out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    const qsizetype length = Utf8Length(bytes, i);
    if (length == 0) {
      out += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
      ++i;
    } else {
      out += QString::fromUtf8(bytes.sliced(i, length));
      i += length;
    }
  }
  return out;
}

QByteArray FileNameBytes(QStringView name) {
  if (!HasRawBytes(name)) return name.toUtf8();
  QByteArray out;
  out.reserve(name.size() * 3);
  qsizetype start = 0;  // the run of ordinary characters not yet encoded
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (!IsRawByteAt(name, i)) continue;
    out += name.sliced(start, i - start).toUtf8();
    out += RawByteAt(name, i);
    start = i + 1;
  }
  out += name.sliced(start).toUtf8();
  return out;
}

QUrl FileNameUrl(const QString& path) {
  if (!HasRawBytes(path)) return QUrl::fromLocalFile(path);
  return QUrl::fromEncoded("file://" + FileNameBytes(path).toPercentEncoding("/"), QUrl::StrictMode);
}

QString FileNameFromUrl(const QUrl& url) {
  if (!url.isLocalFile()) return {};
  const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (cp932::IsValidUtf8(View(bytes))) return url.toLocalFile();
  // As QUrl::toLocalFile names a file on another host.
  const QString host = url.host();
  return (host.isEmpty() ? QString() : QStringLiteral("//") + host) + FileNameFromBytes(bytes);
}

bool HasRawBytes(QStringView name) {
  for (qsizetype i = 0; i < name.size(); ++i)
    if (IsRawByteAt(name, i)) return true;
  return false;
}
