// Locating a cabinet in a file; see CabLocator.h. Executable layouts (MZ,
// PE) as described for self-extracting archives: the archive normally starts
// where the image ends, but stubs may append resources first, so the image
// end is only where the search begins.
#include "archivers/cab32/CabLocator.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/RegularFile.h"

namespace rkarc {
namespace {

// How far past its start a search looks; self-extracting stubs are far smaller.
constexpr uint64_t kScanLimit = 16ull << 20;
constexpr size_t kScanChunk = 64 << 10;
constexpr size_t kFirstRead = 4096;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool CabLocator::readAt(uint64_t offset, size_t length, std::vector<uint8_t>& out) {
  out.resize(length);
  const int64_t done = ReadAt(m_fd, offset, out.data(), length);
  if (done < 0) {
    m_readFailed = true;
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(done));
  return true;
}

std::optional<CabLocation> CabLocator::tryAt(uint64_t offset, bool allowCutShort) {
  const uint64_t available = m_fileSize - offset;
  std::vector<uint8_t> bytes;
  size_t want = static_cast<size_t>(std::min<uint64_t>(kFirstRead, available));
  CabLocation location;
  for (;;) {
    if (!readAt(offset, want, bytes)) return std::nullopt;
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

uint64_t CabLocator::imageEnd() {
  std::vector<uint8_t> mz;
  if (!readAt(0, 64, mz) || mz.size() < 64 || mz[0] != 'M' || mz[1] != 'Z') return 0;
  // A PE image: the end of its last section. Its MZ fields describe only the
  // DOS stub, so PE is tested first.
  const uint32_t peOffset = U32(mz.data() + 0x3C);
  std::vector<uint8_t> pe;
  if (peOffset < m_fileSize && readAt(peOffset, 24, pe) && pe.size() == 24 &&
      std::memcmp(pe.data(), "PE\0\0", 4) == 0) {
    const uint16_t sections = U16(pe.data() + 6);
    const uint64_t table = uint64_t{peOffset} + 24 + U16(pe.data() + 20);
    std::vector<uint8_t> entries;
    if (readAt(table, size_t{sections} * 40, entries) && entries.size() == size_t{sections} * 40) {
      uint64_t end = 0;
      for (size_t i = 0; i < sections; ++i) {
        const uint8_t* s = entries.data() + i * 40;
        end = std::max<uint64_t>(end, uint64_t{U32(s + 20)} + U32(s + 16));
      }
      return std::min(end, m_fileSize);
    }
  }
  const uint16_t lastPage = U16(mz.data() + 2);
  const uint16_t pages = U16(mz.data() + 4);
  const uint64_t end = lastPage == 0 ? uint64_t{pages} * 512
                                     : (pages == 0 ? 0 : (uint64_t{pages} - 1) * 512 + lastPage);
  return std::min(end, m_fileSize);
}

// Another kind of archive where the image ends: this is its self-extractor,
// and a cabinet after that point is one of its members (stored), not ours.
bool CabLocator::otherArchiveAt(uint64_t offset) {
  std::vector<uint8_t> b;
  if (!readAt(offset, 8, b) || b.size() < 8) return false;
  const auto starts = [&](const char* magic, size_t length) { return std::memcmp(b.data(), magic, length) == 0; };
  const bool lzh = b[2] == '-' && b[6] == '-' && (b[3] == 'l' || b[3] == 'p');
  return starts("Rar!\x1A\x07", 6) || starts("PK\x03\x04", 4) || starts("7z\xBC\xAF\x27\x1C", 6) ||
         starts("\x60\xEA", 2) || lzh;
}

std::optional<CabLocation> CabLocator::scan(uint64_t from, uint64_t to) {
  std::vector<uint8_t> chunk;
  for (uint64_t at = from; at < to;) {
    // Chunks overlap by three bytes so that a signature on a border is seen.
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kScanChunk + 3, m_fileSize - at));
    if (!readAt(at, length, chunk) || chunk.size() < 4) return std::nullopt;
    const uint8_t* p = chunk.data();
    const uint8_t* end = chunk.data() + chunk.size();
    while ((p = static_cast<const uint8_t*>(memmem(p, end - p, "MSCF", 4))) != nullptr) {
      const uint64_t offset = at + (p - chunk.data());
      if (offset >= to) return std::nullopt;
      if (auto found = tryAt(offset, false)) return found;
      if (m_readFailed) return std::nullopt;
      ++p;
    }
    at += kScanChunk;
  }
  return std::nullopt;
}

std::optional<CabLocation> CabLocator::find(bool allowCutShort) {
  std::vector<uint8_t> magic;
  if (!readAt(0, 4, magic)) return std::nullopt;
  m_signatureAtStart = magic.size() == 4 && std::memcmp(magic.data(), "MSCF", 4) == 0;
  if (m_signatureAtStart) return tryAt(0, allowCutShort);

  const uint64_t start = imageEnd();
  if (start > 0 && !otherArchiveAt(start)) {
    if (auto found = scan(start, std::min(m_fileSize, start + kScanLimit))) return found;
  }
  return scan(0, std::min({m_fileSize, start > 0 ? start : m_fileSize, kScanLimit}));
}

}  // namespace rkarc
