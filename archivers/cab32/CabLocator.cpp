// Locating a cabinet in a file; see CabLocator.h. The archive of a
// self-extracting file normally starts where its executable image ends, but
// stubs may append resources first, so the image end is only where the search
// begins.
#include "archivers/cab32/CabLocator.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/ExecutableImage.h"

namespace rkarc {
namespace {

// How far past its start a search looks; self-extracting stubs are far smaller.
constexpr uint64_t kScanLimit = 16ull << 20;
constexpr size_t kScanChunk = 64 << 10;
constexpr size_t kFirstRead = 4096;

}  // namespace

std::optional<CabLocation> CabLocator::tryAt(uint64_t offset, bool allowCutShort) {
  const uint64_t available = m_file.size() - offset;
  std::vector<uint8_t> bytes;
  size_t want = static_cast<size_t>(std::min<uint64_t>(kFirstRead, available));
  CabLocation location;
  for (;;) {
    if (!m_file.readAt(offset, want, bytes)) return std::nullopt;
    size_t needed = 0;
    const CabParse parse =
        ParseCabHeader(bytes.data(), bytes.size(), available, allowCutShort, location.header, &needed);
    if (parse == CabParse::Invalid) return std::nullopt;
    if (parse == CabParse::Ok) break;
    // The file changed under us, or the parser asks for nothing new: give up.
    if (needed <= bytes.size() || bytes.size() < want) return std::nullopt;
    want = needed;
  }
  location.offset = offset;
  location.present = std::min<uint64_t>(location.header.cabinetSize, available);
  location.cutShort = location.header.cabinetSize > available;
  return location;
}

// Another kind of archive where the image ends: this is its self-extractor,
// and a cabinet after that point is one of its members (stored), not ours.
bool CabLocator::otherArchiveAt(uint64_t offset) {
  std::vector<uint8_t> b;
  if (!m_file.readExact(offset, 8, b)) return false;
  const auto starts = [&](const char* magic, size_t length) { return std::memcmp(b.data(), magic, length) == 0; };
  const bool lzh = b[2] == '-' && b[6] == '-' && (b[3] == 'l' || b[3] == 'p');
  return starts("Rar!\x1A\x07", 6) || starts("PK\x03\x04", 4) || starts("7z\xBC\xAF\x27\x1C", 6) ||
         starts("\x60\xEA", 2) || lzh;
}

std::optional<CabLocation> CabLocator::scan(uint64_t from, uint64_t to) {
  std::vector<uint8_t> chunk;
  for (uint64_t at = from; at < to;) {
    // Chunks overlap by three bytes so that a signature on a border is seen.
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kScanChunk + 3, m_file.size() - at));
    if (!m_file.readAt(at, length, chunk) || chunk.size() < 4) return std::nullopt;
    const uint8_t* p = chunk.data();
    const uint8_t* end = chunk.data() + chunk.size();
    while ((p = static_cast<const uint8_t*>(memmem(p, end - p, "MSCF", 4))) != nullptr) {
      const uint64_t offset = at + (p - chunk.data());
      if (offset >= to) return std::nullopt;
      if (auto found = tryAt(offset, false)) return found;
      if (m_file.readFailed()) return std::nullopt;
      ++p;
    }
    at += kScanChunk;
  }
  return std::nullopt;
}

std::optional<CabLocation> CabLocator::find(bool allowCutShort) {
  std::vector<uint8_t> magic;
  if (!m_file.readAt(0, 4, magic)) return std::nullopt;
  m_signatureAtStart = magic.size() == 4 && std::memcmp(magic.data(), "MSCF", 4) == 0;
  if (m_signatureAtStart) return tryAt(0, allowCutShort);

  const uint64_t start = ExecutableImage::Of(m_file).end;
  if (start > 0 && !otherArchiveAt(start)) {
    if (auto found = scan(start, std::min(m_file.size(), start + kScanLimit))) return found;
  }
  return scan(0, std::min({m_file.size(), start > 0 ? start : m_file.size(), kScanLimit}));
}

}  // namespace rkarc
