// RAR 1.5 to 4.x through libunarr; see Rar4Reader.h.
#include "archivers/unrar32/Rar4Reader.h"

#include <unarr.h>
#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archivers/common/ResultCodes.h"

namespace rkarc::rar {
namespace {

constexpr uint8_t kUnix = 3;
constexpr uint8_t kStored = 0x30;
constexpr uint32_t kDosReadOnly = 0x01, kDosFolder = 0x10;
constexpr size_t kChunk = 1024 * 1024;
constexpr size_t kLinkLimit = 4096;
// An archive behind a stub is read from memory, as libunarr opens archives only at a file's start.
constexpr uint64_t kMemoryLimit = 1ull << 30;

struct StreamCloser {
  void operator()(ar_stream* s) const { ar_close(s); }
};
struct ArchiveCloser {
  void operator()(ar_archive* a) const { ar_close_archive(a); }
};

std::optional<int64_t> DosTime(uint32_t dos) {
  std::tm tm{};
  tm.tm_year = static_cast<int>((dos >> 25) + 80);
  tm.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
  tm.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
  tm.tm_min = static_cast<int>((dos >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>((dos & 0x1F) * 2);
  tm.tm_isdst = -1;
  if (dos == 0 || tm.tm_mon < 0) return std::nullopt;
  const time_t t = mktime(&tm);  // RAR 4 keeps local time
  return t == static_cast<time_t>(-1) ? std::nullopt : std::optional<int64_t>(t);
}

// Opens libunarr over the archive: the file itself when the archive starts
// it, otherwise a copy in memory of the archive behind the stub or of the
// parts of a split file (libunarr reads one file only).
class Source {
 public:
  bool open(const InputFile& file, const std::string& path, const RarStart& start) {
    if (start.offset == 0 && file.parts().paths().size() == 1) {
      const std::string self = "/proc/self/fd/" + std::to_string(file.fd());
      m_stream.reset(ar_open_file(self.c_str()));
      if (!m_stream) m_stream.reset(ar_open_file(path.c_str()));
    } else if (file.size() - start.offset <= kMemoryLimit) {
      m_memory.resize(file.size() - start.offset);
      if (!file.readExact(start.offset, m_memory.data(), m_memory.size())) return false;
      m_stream.reset(ar_open_memory(m_memory.data(), m_memory.size()));
    }
    if (m_stream) m_archive.reset(ar_open_rar_archive(m_stream.get()));
    return m_archive != nullptr;
  }
  ar_archive* get() const { return m_archive.get(); }

 private:
  std::vector<unsigned char> m_memory;
  std::unique_ptr<ar_stream, StreamCloser> m_stream;
  std::unique_ptr<ar_archive, ArchiveCloser> m_archive;  // closed before the stream
};

using Sink = std::function<bool(const unsigned char*, size_t)>;

// Decodes the data of the member libunarr stands at, `sink` taking each
// piece; the CRC-32 of all of it must be the header's.
bool Decode(ar_archive* a, const RarFile& file, const Sink& sink, int32_t& failure) {
  std::vector<unsigned char> buffer(std::min<uint64_t>(kChunk, std::max<uint64_t>(file.size, 1)));
  uint32_t crc = 0;
  for (uint64_t left = file.size; left > 0;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, buffer.size()));
    if (!ar_entry_uncompress(a, buffer.data(), n)) return (failure = kErrDamaged), false;
    crc = static_cast<uint32_t>(crc32(crc, buffer.data(), static_cast<uInt>(n)));
    if (!sink(buffer.data(), n)) return (failure = 0), false;
    left -= n;
  }
  if (file.crc && crc != *file.crc) return (failure = kErrChecksum), false;
  return true;
}

class Rar4Extraction {
 public:
  Rar4Extraction(ExtractionJob& job, SafeWriter& writer, const RarStart& start, ar_archive* a)
      : m_job(job), m_writer(writer), m_start(start), m_archive(a) {}

  // False when reading cannot go on.
  bool extract(const RarFile& file) {
    const Member member = Rar4Member(file);
    if (file.olderVersion) return true;  // the caller tells the host it was left out
    if (!m_job.request().members.wants(member.name, member.charset)) return true;
    if (file.encrypted) return m_writer.fail(member, kErrEncrypted, FailureText(kErrEncrypted)), true;
    if (file.splitBefore || file.splitAfter)
      return m_writer.fail(member, kErrMultiVolume, FailureText(kErrMultiVolume)), true;
    if (member.type == MemberType::Directory || member.type == MemberType::Other) return m_writer.begin(member), true;
    if (file.method != kStored && !seek(file)) return false;
    if (member.type == MemberType::Symlink) return link(file, member), true;
    auto sink = m_writer.begin(member);
    if (!sink) return true;  // kept, refused, or stopped: the writer knows
    int32_t failure = 0;
    if (decode(file, [&](const unsigned char* p, size_t n) { return sink->write(p, n); }, failure)) {
      sink->commit();
    } else if (failure != 0) {
      sink->abort(failure, FailureText(failure));
    }
    return true;
  }

 private:
  // Moves libunarr to the member's header; false (the archive failed) when
  // it does not see the member there as the walk does.
  bool seek(const RarFile& file) {
    m_job.progress().update(file.headerAt, m_job.file().size());
    if (!ar_parse_entry_at(m_archive, static_cast<off64_t>(file.headerAt)) ||
        ar_entry_get_offset(m_archive) != static_cast<off64_t>(file.headerAt) ||
        ar_entry_get_size(m_archive) != file.size) {
      m_writer.failArchive(kErrDamaged, "ヘッダーの並びが読めません");
      return false;
    }
    return true;
  }

  void link(const RarFile& file, Member member) {
    if (file.size > kLinkLimit) return m_writer.fail(member, kErrDamaged, FailureText(kErrDamaged));
    int32_t failure = 0;
    const bool whole = decode(file, [&](const unsigned char* p, size_t n) {
      member.linkTarget.append(reinterpret_cast<const char*>(p), n);
      return true;
    }, failure);
    if (!whole) return m_writer.fail(member, failure, FailureText(failure));
    m_writer.begin(member);
  }

  // Stored data is read from the file here, libunarr's copying and CRC
  // being the better part of the time it takes.
  bool decode(const RarFile& file, const Sink& sink, int32_t& failure) {
    if (file.method != kStored) return Decode(m_archive, file, sink, failure);
    if (file.packedSize != file.size) return (failure = kErrDamaged), false;
    std::vector<unsigned char> buffer(std::min<uint64_t>(kChunk, std::max<uint64_t>(file.size, 1)));
    uint32_t crc = 0;
    for (uint64_t done = 0; done < file.size;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(file.size - done, buffer.size()));
      if (!m_job.file().readExact(m_start.offset + file.dataAt + done, buffer.data(), n))
        return (failure = kErrDamaged), false;
      crc = static_cast<uint32_t>(crc32(crc, buffer.data(), static_cast<uInt>(n)));
      if (!sink(buffer.data(), n)) return (failure = 0), false;
      done += n;
      m_job.progress().update(m_start.offset + file.dataAt + done, m_job.file().size());
    }
    if (file.crc && crc != *file.crc) return (failure = kErrChecksum), false;
    return true;
  }

  ExtractionJob& m_job;
  SafeWriter& m_writer;
  const RarStart& m_start;
  ar_archive* m_archive;
};

}  // namespace

Member Rar4Member(const RarFile& file) {
  Member m;
  m.name = file.unicode ? file.utf8Name : file.name;
  m.charset = file.unicode ? NameCharset::Utf8 : NameCharset::Auto;
  m.size = file.size;
  m.mtime = DosTime(file.dosTime);
  if (file.host == kUnix) {
    const uint32_t kind = file.attributes & 0xF000;
    m.type = file.directory || kind == 0x4000 ? MemberType::Directory
             : kind == 0xA000                 ? MemberType::Symlink
             : kind == 0x8000 || kind == 0    ? MemberType::File
                                              : MemberType::Other;
    m.mode = file.attributes & 0777;
  } else {
    m.type = file.directory || (file.attributes & kDosFolder) ? MemberType::Directory : MemberType::File;
    // A read-only file stays so; a folder's read-only mark means nothing on these systems.
    if (m.type == MemberType::File && (file.attributes & kDosReadOnly)) m.mode = 0444;
  }
  return m;
}

std::optional<bool> ReadRar4(ExtractionJob& job, SafeWriter& writer, const RarStart& start,
                             const RarHeaders& headers) {
  Source source;
  if (!source.open(job.file(), job.request().archive, start)) return std::nullopt;
  Rar4Extraction extraction(job, writer, start, source.get());
  for (const RarFile& file : headers.files) {
    if (!extraction.extract(file)) return false;
    if (writer.stopped()) return false;
  }
  return true;
}

}  // namespace rkarc::rar
