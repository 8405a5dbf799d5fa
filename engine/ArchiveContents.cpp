// See ArchiveContents.h. Only signatures that hardly occur by chance at the
// start of other files: the archive is then tried by its module, which
// checks it whole.
#include "engine/ArchiveContents.h"

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>

#include "platform/FileName.h"

namespace {

struct Signature {
  qsizetype at;
  const char* bytes;
  qsizetype size;
  const char* extension;
  bool stream = false;  // a single compressed file
};

// '?' in an LZH method ("-lh5-") stands for any byte.
constexpr Signature kSignatures[] = {
    {0, "PK\x03\x04", 4, ".ZIP"},
    {0, "PK\x05\x06", 4, ".ZIP"},   // an empty ZIP archive
    {2, "-lh?-", 5, ".LZH"},
    {2, "-lz?-", 5, ".LZH"},
    {0, "\x60\xEA", 2, ".ARJ"},
    {0, "MSCF\0\0\0\0", 8, ".CAB"},
    {0, "Rar!\x1A\x07", 6, ".RAR"},
    {0, "7z\xBC\xAF\x27\x1C", 6, ".7Z"},
    {257, "ustar", 5, ".TAR"},
    {0, "\x1F\x8B\x08", 3, ".GZ", true},
    {0, "\x1F\x9D", 2, ".Z", true},
    {0, "BZh", 3, ".BZ", true},
    {0, "\xFD" "7zXZ\0", 6, ".XZ", true},
    {0, "\x28\xB5\x2F\xFD", 4, ".ZST", true},
    {0, "LZIP", 4, ".LZ", true},
};

bool Matches(const QByteArray& head, const Signature& s) {
  if (head.size() < s.at + s.size) return false;
  for (qsizetype i = 0; i < s.size; ++i)
    if (s.bytes[i] != '?' && head[s.at + i] != s.bytes[i]) return false;
  return true;
}

QByteArray Head(const QString& path, qsizetype size) {
  QByteArray head(size, '\0');
  const int fd = ::open(FileNameBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  qsizetype got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, head.data() + got, static_cast<size_t>(size - got));
    if (n <= 0) break;
    got += n;
  }
  ::close(fd);
  head.truncate(got);
  return head;
}

}  // namespace

QString ExtensionByContents(const QString& path) {
  const QByteArray head = Head(path, 262);
  // A compressed file is decompressed into a file named after it without its
  // extension: a name without one would name the archive itself.
  const QString name = path.section(u'/', -1);
  const bool extension = name.lastIndexOf(u'.') > 0;
  for (const Signature& s : kSignatures)
    if (Matches(head, s) && (extension || !s.stream)) return QString::fromLatin1(s.extension);
  return {};
}
