// ARJ extraction through the safe writer; see ArjExtractor.h.
#include "archivers/unarj32j/ArjExtractor.h"

#include <zlib.h>

#include <ctime>

#include "archivers/unarj32j/ArjDecoder.h"

namespace rkarc {
namespace {

// Unix hosts store Unix time; every other host an MS-DOS local date and time.
std::optional<int64_t> MemberTime(const ArjHeader& header) {
  const uint32_t t = header.timestamp;
  if (header.hostOs == kArjHostUnix) return static_cast<int64_t>(t);
  std::tm tm{};
  tm.tm_sec = static_cast<int>(t & 0x1F) * 2;
  tm.tm_min = static_cast<int>((t >> 5) & 0x3F);
  tm.tm_hour = static_cast<int>((t >> 11) & 0x1F);
  tm.tm_mday = static_cast<int>((t >> 16) & 0x1F);
  tm.tm_mon = static_cast<int>((t >> 21) & 0x0F) - 1;
  tm.tm_year = static_cast<int>((t >> 25) & 0x7F) + 80;
  tm.tm_isdst = -1;
  if (tm.tm_mday == 0 || tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_hour > 23 || tm.tm_min > 59 || tm.tm_sec > 59)
    return std::nullopt;
  const std::time_t local = std::mktime(&tm);
  if (local == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(local);
}

}  // namespace

ArjExtractor::ArjExtractor(ExtractRequest& request, Report& report, Progress& progress)
    : m_request(request), m_report(report), m_progress(progress) {}

Member ArjExtractor::ToMember(const ArjHeader& header) {
  Member m;
  m.name = header.name;
  // DOS and Windows hosts wrote their code page; Japanese archives are CP932.
  const bool dosLike = header.hostOs == 0 || header.hostOs == 10 || header.hostOs == 11;
  m.charset = dosLike ? NameCharset::Cp932 : NameCharset::Auto;
  m.type = header.fileType == kArjDirectory ? MemberType::Directory : MemberType::File;
  m.size = header.originalSize;
  // Other hosts keep MS-DOS attributes there, not permissions.
  m.mode = header.hostOs == kArjHostUnix ? (header.mode & 0777u) : 0;
  m.mtime = MemberTime(header);
  return m;
}

int32_t ArjExtractor::run() {
  ArjArchive archive;
  if (const int32_t rc = archive.open(m_request.archive); rc != kOk) {
    m_report.fail(archive.problem());
    return rc;
  }
  SafeWriter writer(m_request.output, m_request.writerOptions, m_report);
  if (!writer.ready()) return writer.result();

  ArjHeader header;
  while (!writer.stopped()) {
    const ArjArchive::Step step = archive.next(header);
    if (step == ArjArchive::Step::End) break;
    if (step == ArjArchive::Step::Failed) {
      writer.failArchive(archive.failure(), archive.problem());
      break;
    }
    const Member member = ToMember(header);
    if (m_request.members.wants(member.name, member.charset) && !extract(archive, writer, header)) break;
    m_progress.update(archive.file().furthest(), archive.file().size());
  }
  m_request.members.reportUnmatched(writer);
  m_progress.finish(archive.file().size());
  return writer.result();
}

bool ArjExtractor::extract(ArjArchive& archive, SafeWriter& writer, const ArjHeader& header) {
  const Member member = ToMember(header);
  switch (header.fileType) {
    case kArjDirectory: writer.begin(member); return true;
    case kArjVolumeLabel: return true;  // the label of the disk it was made on: nothing to write
    case kArjBinary:
    case kArjText: break;
    default:
      writer.fail(member, kErrUnsupported, "未対応の種類のメンバです（種類 " + std::to_string(header.fileType) + "）");
      return true;
  }
  if (header.flags & kArjGarbled) {
    writer.fail(member, kErrEncrypted, "暗号化（パスワード付き）のため解凍できません");
  } else if (header.flags & (kArjVolume | kArjExtFile)) {
    writer.fail(member, kErrMultiVolume, "分割書庫の他の巻に続いているため解凍できません");
  } else if (header.method > 4) {
    writer.fail(member, kErrUnsupported, "未対応の圧縮方式です（方式 " + std::to_string(header.method) + "）");
  } else if (!archive.dataInFile(header)) {
    writer.fail(member, kErrDamaged, "書庫が途中で切れています");
    return false;
  } else {
    decode(archive, writer, header, member);
  }
  return true;
}

void ArjExtractor::decode(ArjArchive& archive, SafeWriter& writer, const ArjHeader& header, const Member& member) {
  auto decoder = ArjDecoder::create(archive.file(), header);
  auto sink = writer.begin(member);
  if (!sink) return;  // kept, refused, or the run has stopped: the writer said so
  uLong crc = ::crc32(0L, Z_NULL, 0);
  const bool whole = decoder->decode([&](const uint8_t* data, size_t size) {
    crc = ::crc32(crc, data, static_cast<uInt>(size));
    if (!sink->write(data, size)) return false;  // the writer recorded why
    m_progress.update(archive.file().furthest(), archive.file().size());
    return true;
  });
  if (decoder->failure() != 0) {
    sink->abort(decoder->failure(), decoder->reason());
  } else if (!whole) {
    return;
  } else if (static_cast<uint32_t>(crc) != header.crc) {
    sink->abort(kErrChecksum, "CRCが一致しません（データが壊れています）");
  } else {
    sink->commit();
  }
}

}  // namespace rkarc
