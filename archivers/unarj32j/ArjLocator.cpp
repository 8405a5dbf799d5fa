// Main header search for plain and self-extracting ARJ files; see ArjLocator.h.
#include "archivers/unarj32j/ArjLocator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/common/ExecutableImage.h"
#include "archivers/unarj32j/ArjHeader.h"

namespace rkarc {

std::optional<uint64_t> ArjLocator::findMainHeader() {
  // At the very start the main header's CRC is proof enough; a broken member
  // header after it is the walk's business (reported as a damaged archive).
  if (validAt(0, false)) return 0;
  const uint64_t size = m_file.size();
  const uint64_t imageEnd = ExecutableImage::Of(m_file).end;
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
  std::vector<uint8_t> window;
  m_file.readAt(from, static_cast<size_t>(to - from) + 1, window);
  for (size_t i = 0; i + 1 < window.size(); ++i) {
    const void* hit = std::memchr(window.data() + i, 0x60, window.size() - 1 - i);
    if (!hit) break;
    i = static_cast<size_t>(static_cast<const uint8_t*>(hit) - window.data());
    if (window[i + 1] == 0xEA && validAt(from + i, true)) return from + i;
  }
  return std::nullopt;
}

}  // namespace rkarc
