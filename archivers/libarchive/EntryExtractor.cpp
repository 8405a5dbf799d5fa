// The libarchive entry loop; see EntryExtractor.h.
#include "archivers/libarchive/EntryExtractor.h"

#include <zlib.h>

#include <algorithm>

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"

namespace rkarc {
namespace {

const char* FirstOf(const char* a, const char* b) { return a ? a : (b ? b : ""); }

}  // namespace

Member MemberFromEntry(archive_entry* entry) {
  Member m;
  m.name = FirstOf(archive_entry_pathname(entry), archive_entry_pathname_utf8(entry));
  switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
      m.type = MemberType::File;
      break;
    case AE_IFDIR:
      m.type = MemberType::Directory;
      break;
    case AE_IFLNK:
      m.type = MemberType::Symlink;
      m.linkTarget = FirstOf(archive_entry_symlink(entry), archive_entry_symlink_utf8(entry));
      break;
    default:
      m.type = MemberType::Other;
  }
  if (archive_entry_hardlink(entry) || archive_entry_hardlink_utf8(entry)) {
    m.type = MemberType::Hardlink;
    m.linkTarget = FirstOf(archive_entry_hardlink(entry), archive_entry_hardlink_utf8(entry));
  }
  if (archive_entry_size_is_set(entry)) m.size = static_cast<uint64_t>(archive_entry_size(entry));
  m.mode = archive_entry_perm(entry);
  if (archive_entry_mtime_is_set(entry)) m.mtime = archive_entry_mtime(entry);
  return m;
}

bool EndedAtMark(archive* a) {
  // The mark is read as a header; where the data simply stops, nothing was
  // consumed after the last entry.
  return archive_filter_bytes(a, 0) > archive_read_header_position(a);
}

EntryExtractor::EntryExtractor(archive* a, SafeWriter& writer, ExtractRequest& request)
    : m_archive(a), m_writer(writer), m_request(request) {}

bool EntryExtractor::run(const Planner& planner) {
  for (;;) {
    archive_entry* entry = nullptr;
    const int r = archive_read_next_header(m_archive, &entry);
    if (r == ARCHIVE_EOF) {
      m_endMarked = EndedAtMark(m_archive);
      return true;
    }
    if (r == ARCHIVE_RETRY || r == ARCHIVE_FATAL || r == ARCHIVE_FAILED || entry == nullptr) {
      // RETRY is libarchive skipping over damage to look for the next header:
      // whatever it would find after that is not trustworthy.
      const ArchiveError error = ArchiveError::From(m_archive);
      m_writer.failArchive(error.code, error.reason);
      return false;
    }
    if (!handle(entry, r == ARCHIVE_WARN, planner)) return false;
    if (m_writer.stopped()) return false;
  }
}

bool EntryExtractor::handle(archive_entry* entry, bool warned, const Planner& planner) {
  EntryPlan plan;
  plan.member = MemberFromEntry(entry);
  const size_t index = m_entries++;
  if (!planner(entry, index, plan)) return false;
  if (plan.skip || !m_request.members.wants(plan.member.name, plan.member.charset)) return true;
  if (plan.refusal != 0) {
    m_writer.fail(plan.member, plan.refusal, plan.reason);
    return true;
  }
  if (warned) {
    // A header warning (inconsistent sizes, unconvertible names) means the
    // entry cannot be trusted; the module's planner already replaced names.
    const ArchiveError error = ArchiveError::From(m_archive);
    m_writer.fail(plan.member, error.code, error.reason);
    return true;
  }
  if (plan.member.type != MemberType::File) {
    m_writer.begin(plan.member);
    return true;
  }
  if (plan.data) {
    auto sink = m_writer.begin(plan.member);
    return !sink || plan.data(*sink);  // without a sink: kept, refused, or stopped, as the writer knows
  }
  return copyData(entry, plan);
}

EntryData CopyEntryData(archive* a, MemberSink& sink, bool holes, bool crc) {
  EntryData data;
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(a, &block, &size, &offset);
    if (r == ARCHIVE_EOF) return data;
    data.end = EntryData::End::Aborted;
    if (r != ARCHIVE_OK) {
      const ArchiveError error = ArchiveError::From(a);
      sink.abort(error.code, error.reason);
      data.fatal = r == ARCHIVE_FATAL;
      return data;
    }
    const auto at = static_cast<uint64_t>(std::max<la_int64_t>(offset, 0));
    if (at < data.written || (!holes && (offset < 0 || at > data.written))) {
      sink.abort(kErrDamaged, FailureText(kErrDamaged));
      data.fatal = true;
      return data;
    }
    data.end = EntryData::End::SinkStopped;
    if ((at > data.written && !sink.hole(at - data.written)) || !sink.write(block, size)) return data;
    data.end = EntryData::End::Read;
    // zlib answers 0 for a null block, whatever came before: an empty block must not reach it.
    if (crc && size > 0)
      data.crc = static_cast<uint32_t>(crc32(data.crc, static_cast<const Bytef*>(block), static_cast<uInt>(size)));
    data.written = at + size;
  }
}

bool EntryExtractor::copyData(archive_entry* entry, const EntryPlan& plan) {
  auto sink = m_writer.begin(plan.member);
  if (!sink) return true;  // kept, refused, or stopped: the writer knows
  const EntryData data = CopyEntryData(m_archive, *sink, true, plan.crc32.has_value());
  if (data.end != EntryData::End::Read) return !data.fatal;
  const uint64_t written = data.written;
  // A sparse member may end in a hole.
  if (archive_entry_size_is_set(entry)) {
    const auto declared = static_cast<uint64_t>(archive_entry_size(entry));
    if (written < declared && archive_entry_sparse_count(entry) > 0 && !sink->hole(declared - written))
      return true;
    if (written < declared && archive_entry_sparse_count(entry) == 0) {
      sink->abort(kErrDamaged, "データが足りません");
      return true;
    }
  }
  if (plan.crc32 && data.crc != *plan.crc32) {
    sink->abort(kErrChecksum, FailureText(kErrChecksum));
    return true;
  }
  sink->commit();
  return true;
}

}  // namespace rkarc
