// Finding the archive start and stepping over damage; see ArchiveLocator.h.
#include "archivers/unlha32/ArchiveLocator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/unlha32/ForeignSignature.h"

namespace rkarc {
namespace {

constexpr size_t kChunk = 64 * 1024;
// Look-ahead past each chunk: a full ARJ main header with its CRC-32.
constexpr size_t kOverlap = 2700;
// Padding that transfer programs appended (XMODEM fills with 0x1A) is short.
constexpr uint64_t kMaxPadding = 64 * 1024;

// The methods of LZH, LArc and PMarc archives. "-pms-" marks a PMarc
// self-extractor's own stub, not a member.
bool KnownMethod(const uint8_t* m) {
  static const char* const kMethods[] = {"lh0", "lh1", "lh2", "lh3", "lh4", "lh5", "lh6", "lh7",
                                         "lhd", "lhx", "lzs", "lz4", "lz5", "pm0", "pm1", "pm2"};
  if (m[0] != '-' || m[4] != '-') return false;
  for (const char* k : kMethods)
    if (std::memcmp(m + 1, k, 3) == 0) return true;
  return false;
}

bool IsDamage(HeaderStatus status) {
  return status == HeaderStatus::Damaged || status == HeaderStatus::BadChecksum || status == HeaderStatus::Truncated;
}

// A PMarc self-extractor starts with a header-like "-pms-" record of its own.
bool StartsWithPmarcStub(const ArchiveFile& file) {
  uint8_t method[5] = {};
  return file.readAt(2, method, 5) == 5 && std::memcmp(method, "-pms-", 5) == 0;
}

}  // namespace

std::optional<ArchiveLocator::Location> ArchiveLocator::find() const {
  const uint64_t size = m_file.size();
  if (size == 0) return std::nullopt;
  const HeaderResult first = m_parser.parse(0);
  if (first.status == HeaderStatus::Ok) return Location{0, ExecutableImage::Kind::None, true};
  const ExecutableImage image = ExecutableImage::Of(m_file);
  if (image.kind == ExecutableImage::Kind::None && IsDamage(first.status) && !StartsWithPmarcStub(m_file))
    return Location{0, ExecutableImage::Kind::None, false};

  uint64_t found = 0;
  if (image.end > 0) {
    const ScanResult after = scan(image.end, std::min(size, image.end + kScanWindow), true, found);
    if (after == ScanResult::Found) return Location{found, image.kind, true};
    if (after == ScanResult::Foreign) return std::nullopt;
  }
  // Stubs without a known image end (.COM files, NE/LE executables, or a
  // wrong end): scan from the start of the file.
  const uint64_t to = std::min(size, image.end > 0 ? std::min(image.end, kScanWindow) : kScanWindow);
  if (scan(0, to, true, found) != ScanResult::Found) return std::nullopt;
  // A self-extractor may carry an archive of its own (a usage text) before
  // the one it extracts, also where its image end is unknown: the scan goes
  // on past each archive that is followed by more than padding.
  uint64_t end = archiveEnd(found);
  uint64_t next = 0;
  while (!onlyPaddingFrom(end) && scan(end, std::min(size, end + kScanWindow), true, next) == ScanResult::Found) {
    found = next;
    end = archiveEnd(found);
  }
  Location location{found, image.kind, true};
  // The last archive found in a program, with more of the program after it,
  // is still the program's own: the archive it carries was never reached.
  location.stubsOwn =
      image.kind != ExecutableImage::Kind::None && (image.end == 0 || end < image.end) && !onlyPaddingFrom(end);
  return location;
}

uint64_t ArchiveLocator::archiveEnd(uint64_t offset) const {
  for (;;) {
    const HeaderResult r = m_parser.parse(offset);
    if (r.status == HeaderStatus::End) return offset + (offset < m_file.size() ? 1 : 0);
    if (r.status != HeaderStatus::Ok || r.header.endOffset() > m_file.size()) return offset;
    offset = r.header.endOffset();
  }
}

std::optional<uint64_t> ArchiveLocator::resync(uint64_t from, uint64_t to) const {
  uint64_t found = 0;
  if (scan(from, std::min(to, m_file.size()), false, found) == ScanResult::Found) return found;
  return std::nullopt;
}

bool ArchiveLocator::onlyPaddingFrom(uint64_t from) const {
  const uint64_t size = m_file.size();
  if (from >= size) return true;
  if (size - from > kMaxPadding) return false;
  std::vector<uint8_t> rest;
  if (!m_file.readExact(from, static_cast<size_t>(size - from), rest)) return false;
  return std::all_of(rest.begin(), rest.end(), [](uint8_t b) { return b == 0x00 || b == 0x1A; });
}

ArchiveLocator::ScanResult ArchiveLocator::scan(uint64_t from, uint64_t to, bool stopAtForeign,
                                                uint64_t& found) const {
  std::vector<uint8_t> buffer(kChunk + kOverlap);
  uint64_t position = from;
  while (position < to) {
    const int64_t n = m_file.readAt(position, buffer.data(), buffer.size());
    if (n <= 0) break;
    const size_t read = static_cast<size_t>(n);
    const size_t limit = static_cast<size_t>(std::min<uint64_t>({kChunk, to - position, read}));
    for (size_t i = 0; i < limit; ++i) {
      const uint8_t* p = buffer.data() + i;
      const size_t available = read - i;
      if (stopAtForeign && ForeignSignature::At(p, available)) return ScanResult::Foreign;
      if (available >= LzhHeaderParser::kMinimumHeader && p[20] <= 3 && KnownMethod(p + 2) &&
          isCandidate(position + i)) {
        found = position + i;
        return ScanResult::Found;
      }
    }
    position += limit;
  }
  return ScanResult::None;
}

bool ArchiveLocator::isCandidate(uint64_t offset) const {
  const HeaderResult r = m_parser.parse(offset);
  if (r.status != HeaderStatus::Ok) return false;
  const uint64_t size = m_file.size();
  if (r.header.compressedSize > size || r.header.endOffset() > size) return false;
  const HeaderResult next = m_parser.parse(r.header.endOffset());
  if (next.status == HeaderStatus::Ok || next.status == HeaderStatus::End) return true;
  return next.status == HeaderStatus::NotHeader && onlyPaddingFrom(r.header.endOffset());
}

}  // namespace rkarc
