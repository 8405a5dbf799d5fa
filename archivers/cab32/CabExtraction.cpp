// One CAB32.DLL extraction; see CabExtraction.h.
#include "archivers/cab32/CabExtraction.h"

#include <algorithm>
#include <ctime>
#include <numeric>

#include "archivers/common/PartedFile.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

// Slack for the decoding budget: small cabinets never come near it.
constexpr uint64_t kBudgetSlack = 64ull << 20;

// MS-DOS date and time as the maker's local time.
std::optional<int64_t> DosTime(uint16_t date, uint16_t time) {
  std::tm tm{};
  tm.tm_year = (date >> 9) + 80;
  tm.tm_mon = ((date >> 5) & 0x0F) - 1;
  tm.tm_mday = date & 0x1F;
  tm.tm_hour = time >> 11;
  tm.tm_min = (time >> 5) & 0x3F;
  tm.tm_sec = (time & 0x1F) * 2;
  tm.tm_isdst = -1;
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday == 0 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59)
    return std::nullopt;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(t);
}

}  // namespace

CabExtraction::CabExtraction(ExtractRequest& request, Report& report, Progress* progress)
    : m_request(request), m_report(report), m_progress(progress) {}

Member CabExtraction::ToMember(const CabFileEntry& file) {
  Member member;
  member.name = file.name;
  member.charset = (file.attributes & kCabAttribNameIsUtf8) ? NameCharset::Utf8 : NameCharset::Auto;
  member.type = MemberType::File;
  member.size = file.size;
  // Cabinets keep MS-DOS attributes, not permissions: only "executable" says
  // anything about them.
  member.mode = (file.attributes & kCabAttribExecutable) ? 0755 : 0;
  member.mtime = DosTime(file.date, file.time);
  return member;
}

std::vector<size_t> CabExtraction::decodingOrder() const {
  const CabHeader& header = m_reader.header();
  std::vector<size_t> order(header.files.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const CabFileEntry& x = header.files[a];
    const CabFileEntry& y = header.files[b];
    const size_t fx = header.folderOf(x), fy = header.folderOf(y);
    return fx != fy ? fx < fy : x.folderOffset < y.folderOffset;
  });
  return order;
}

// Members decode in data order, so a folder is decoded about once. Members
// that overlap make libmspack start the folder again; a hostile cabinet of
// many overlapping members would keep it busy for hours, so decoding stops
// at twice the data the folders hold.
uint64_t CabExtraction::decodeBudget() const {
  const CabHeader& header = m_reader.header();
  std::vector<uint64_t> span(header.folders.size(), 0);
  for (const CabFileEntry& file : header.files) {
    uint64_t& end = span[header.folderOf(file)];
    end = std::max<uint64_t>(end, uint64_t{file.folderOffset} + file.size);
  }
  return 2 * std::accumulate(span.begin(), span.end(), uint64_t{0}) + kBudgetSlack;
}

bool CabExtraction::withinBudget(const CabFileEntry& file, size_t folder) {
  const bool continues = m_folder == folder && file.folderOffset >= m_decodedTo;
  const uint64_t work = (continues ? file.folderOffset - m_decodedTo : file.folderOffset) + uint64_t{file.size};
  if (m_decodeWork + work > m_budget) return false;
  m_decodeWork += work;
  return true;
}

void CabExtraction::extractMember(size_t index, SafeWriter& writer) {
  const CabHeader& header = m_reader.header();
  const CabFileEntry& file = header.files[index];
  const Member member = ToMember(file);
  const size_t folder = header.folderOf(file);
  if (CabError why = m_reader.check(index)) return writer.fail(member, why.code, why.reason);
  if (m_folderFailure[folder] && file.size > 0)
    return writer.fail(member, m_folderFailure[folder]->code, m_folderFailure[folder]->reason);

  std::unique_ptr<MemberSink> sink = writer.begin(member);
  if (!sink) return;  // kept, refused, or the run has stopped
  // An empty member has no data to decode or verify; asking libmspack for it
  // would only move its place in the folder behind our back.
  if (file.size == 0) {
    sink->commit();
    return;
  }
  if (!withinBudget(file, folder)) return sink->abort(kErrDamaged, "メンバーのデータが重なりすぎています");
  uint64_t written = 0;
  bool writeFailed = false;
  const CabError error = m_reader.extract(index, [&](const void* data, size_t size) {
    written += size;
    if (sink->write(data, size)) return true;
    writeFailed = true;
    return false;
  });
  if (error) {
    m_folder.reset();  // the reader starts the folder afresh
    if (writeFailed) return;  // the writer has said why
    sink->abort(error.code, error.reason);
    m_folderFailure[folder] = CabError{error.code, "同じフォルダの前のデータが壊れています"};
    return;
  }
  if (written != file.size) {
    sink->abort(kErrDamaged, "データの長さが合いません");
    return;
  }
  sink->commit();
  m_folder = folder;
  m_decodedTo = uint64_t{file.folderOffset} + file.size;
}

int32_t CabExtraction::run() {
  if (const CabError opened = m_reader.open(m_request.archive, true, true)) {
    m_report.fail(opened.reason);
    return opened.code;
  }
  ReportVolumes(m_reader.paths(), m_report);
  // A set read from a later cabinet lacks the ones before, even where none
  // of its members begins in them: it must not be moved or deleted alone.
  if (m_reader.location().header.flags & kCabFlagPrevCabinet) m_report.keep("CAB の組の途中の CAB から読みました");
  SafeWriter writer(m_request.output, m_request.writerOptions, m_report);
  if (!writer.ready()) return writer.result();

  const uint64_t fileSize = m_reader.fileSize();
  // A member that makes libmspack start its folder again reads earlier parts
  // once more; the progress shown never goes back.
  if (m_progress) {
    m_reader.setObserver([this, fileSize, furthest = uint64_t{0}](uint64_t position) mutable {
      furthest = std::max(furthest, position);
      m_progress->update(furthest, fileSize);
    });
  }
  const CabHeader& header = m_reader.header();
  m_folderFailure.assign(header.folders.size(), std::nullopt);
  m_budget = decodeBudget();
  for (size_t index : decodingOrder()) {
    if (writer.stopped()) break;
    const CabFileEntry& file = header.files[index];
    if (!m_request.members.wants(file.name, ToMember(file).charset)) continue;
    extractMember(index, writer);
  }
  m_request.members.reportUnmatched(writer);
  if (!writer.stopped()) {
    const CabLocation& location = m_reader.location();
    if (location.cutShort)
      writer.failArchive(kErrDamaged, "CAB が途中で切れています（" + std::to_string(location.present) + " / " +
                                          std::to_string(location.header.cabinetSize) + " バイト）");
    // Members whole in the cabinets that are there were written; the set
    // still fails, naming the cabinet it lacks.
    if (const CabError broken = m_reader.setBroken()) writer.failArchive(broken.code, broken.reason);
  }
  if (m_progress) m_progress->finish(fileSize);
  return writer.result();
}

}  // namespace rkarc
