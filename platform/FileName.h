// File names and paths as the program holds them. Linux names are bytes and
// need not be UTF-8 (Shift_JIS names from old media); the program's paths are
// QString. Valid UTF-8 decodes as usual, and each byte that is not part of
// valid UTF-8 becomes the lone surrogate U+DC00 + byte (U+DC80..U+DCFF, as
// Python's "surrogateescape"). Valid UTF-8 never decodes to a lone surrogate,
// so FileNameBytes(FileNameFromBytes(b)) == b for every byte string b, and
// text cut at an ASCII character ("/", ".") still names the same bytes.
// Every path that goes to the disk, to a module or into a URL goes through
// FileNameBytes; the text shown to the user comes from DisplayPath
// (engine/PathHelpers.h), never from the raw QString.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QUrl>
#include <string>

QString FileNameFromBytes(QByteArrayView bytes);
QByteArray FileNameBytes(QStringView name);
// The same bytes, for the POSIX calls and the modules' commands.
inline std::string NativePath(QStringView name) { return FileNameBytes(name).toStdString(); }

// The character at `i` stands for a byte that is not UTF-8: a lone U+DC80..
// U+DCFF (after a high surrogate the same unit is half of a character such as
// U+10080).
inline bool IsRawByteAt(QStringView name, qsizetype i) {
  const char16_t c = name[i].unicode();
  return c >= 0xDC80 && c <= 0xDCFF && (i == 0 || !name[i - 1].isHighSurrogate());
}
inline char RawByteAt(QStringView name, qsizetype i) { return static_cast<char>(name[i].unicode() - 0xDC00); }

// True when the name holds a byte that is not UTF-8.
bool HasRawBytes(QStringView name);

// The file URL of the absolute path, its bytes percent-encoded as they are
// (for text/uri-list), and the path of a local file URL (empty for another).
QUrl FileNameUrl(const QString& path);
QString FileNameFromUrl(const QUrl& url);
