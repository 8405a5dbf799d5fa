// Main header search for plain and self-extracting ARJ files; see ArjLocator.h.
#include "archivers/unarj32j/ArjLocator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/unarj32j/ArjHeader.h"

namespace rkarc {
namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(Le16(p)) | (static_cast<uint32_t>(Le16(p + 2)) << 16);
}

}  // namespace

std::optional<uint64_t> ArjLocator::findMainHeader() {
  // At the very start the main header's CRC is proof enough; a broken member
  // header after it is the walk's business (reported as a damaged archive).
  if (validAt(0, false)) return 0;
  const uint64_t size = m_file.size();
  const uint64_t imageEnd = executableImageEnd();
  if (auto found = scan(imageEnd, std::min(size, imageEnd + kScanLimit))) return found;
  // Some stubs place the archive before their declared end, or the image end is
  // wrong (NE/LE files): look from the start as well.
  if (imageEnd > 0) return scan(0, std::min({size, imageEnd, kScanLimit}));
  return std::nullopt;
}

bool ArjLocator::validAt(uint64_t offset, bool checkNext) {
  ArjHeader main;
  if (ReadArjHeader(m_file, offset, main) != ArjHeaderStatus::Ok) return false;
  if (main.fileType != kArjMainHeader) return false;
  if (!checkNext) return true;
  // Stubs carry header-like byte pairs and even copies of ARJ strings; a real
  // archive also has a valid block right after its main header.
  ArjHeader next;
  const ArjHeaderStatus status = ReadArjHeader(m_file, main.dataOffset, next);
  if (status == ArjHeaderStatus::End) return true;
  return status == ArjHeaderStatus::Ok && next.fileType != kArjMainHeader;
}

std::optional<uint64_t> ArjLocator::scan(uint64_t from, uint64_t to) {
  if (from >= to) return std::nullopt;
  std::vector<uint8_t> window(static_cast<size_t>(to - from) + 1);
  window.resize(m_file.readSome(from, window.data(), window.size()));
  for (size_t i = 0; i + 1 < window.size(); ++i) {
    const void* hit = std::memchr(window.data() + i, 0x60, window.size() - 1 - i);
    if (!hit) break;
    i = static_cast<size_t>(static_cast<const uint8_t*>(hit) - window.data());
    if (window[i + 1] == 0xEA && validAt(from + i, true)) return from + i;
  }
  return std::nullopt;
}

uint64_t ArjLocator::executableImageEnd() {
  uint8_t mz[0x40];
  if (!m_file.readAt(0, mz, sizeof mz) || mz[0] != 'M' || mz[1] != 'Z') return 0;
  // A PE file's MZ fields describe only its DOS stub, so look for PE first.
  if (const uint64_t pe = peImageEnd(Le32(mz + 0x3C))) return pe;
  const uint16_t lastPage = Le16(mz + 2);
  const uint16_t pages = Le16(mz + 4);
  if (pages == 0) return 0;
  const uint64_t end = lastPage == 0 ? pages * 512ull : (pages - 1) * 512ull + lastPage;
  return end <= m_file.size() ? end : 0;
}

uint64_t ArjLocator::peImageEnd(uint32_t peOffset) {
  uint8_t coff[24];
  if (!m_file.readAt(peOffset, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return 0;
  const uint16_t sections = Le16(coff + 6);
  const uint16_t optionalSize = Le16(coff + 20);
  std::vector<uint8_t> table(sections * 40u);
  if (!m_file.readAt(uint64_t{peOffset} + 24 + optionalSize, table.data(), table.size())) return 0;
  uint64_t end = 0;
  for (uint16_t i = 0; i < sections; ++i) {
    const uint8_t* section = table.data() + i * 40u;
    end = std::max(end, uint64_t{Le32(section + 20)} + Le32(section + 16));
  }
  return end <= m_file.size() ? end : 0;
}

}  // namespace rkarc
