// Locating a 7z archive; see SevenZipLocator.h. The start header (7zFormat.txt
// of the 7-Zip sources, "SignatureHeader"): the six signature bytes, the
// format version, the CRC-32 of the next 20 bytes, then the offset (from the
// end of the start header), size and CRC-32 of the archive's last header.
#include "archivers/sevenzip32/SevenZipLocator.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/common/Bytes.h"
#include "archivers/common/ExecutableImage.h"

namespace rkarc::sevenzip {
namespace {

constexpr unsigned char kSignature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr size_t kStartHeaderSize = 32;
constexpr uint64_t kScanLimit = 16ull * 1024 * 1024;

bool BeginsWithSignature(const ArchiveFile& file, uint64_t at) {
  unsigned char sig[sizeof kSignature];
  return file.readExact(at, sig, sizeof sig) && std::memcmp(sig, kSignature, sizeof sig) == 0;
}

// The start header at `at` as it reads, wherever it points; `end` is only
// meaningful where cutShort is false.
std::optional<SevenZipStart> StartAt(const ArchiveFile& file, uint64_t at, bool& cutShort) {
  unsigned char h[kStartHeaderSize];
  if (!file.readExact(at, h, sizeof h) || std::memcmp(h, kSignature, sizeof kSignature) != 0 || h[6] != 0)
    return std::nullopt;
  if (static_cast<uint32_t>(crc32(0, h + 12, 20)) != Le32(h + 8)) return std::nullopt;
  const uint64_t offset = Le64(h + 12), size = Le64(h + 20);
  const uint64_t room = file.size() - std::min(file.size(), at + kStartHeaderSize);
  cutShort = offset > room || size > room - offset;
  return SevenZipStart{at, at + kStartHeaderSize + offset + size, size, Le32(h + 28)};
}

std::optional<SevenZipStart> ValidAt(const ArchiveFile& file, uint64_t at) {
  bool cutShort = false;
  auto start = StartAt(file, at, cutShort);
  if (cutShort) return std::nullopt;
  return start;
}

std::optional<SevenZipStart> Scan(const ArchiveFile& file, uint64_t from, uint64_t to) {
  constexpr size_t kChunk = 1024 * 1024;
  std::vector<unsigned char> buffer(kChunk + sizeof kSignature - 1);
  for (uint64_t at = from; at < to; at += kChunk) {
    const int64_t got = file.readAt(at, buffer.data(), buffer.size());
    if (got < static_cast<int64_t>(sizeof kSignature)) return std::nullopt;
    const auto end = buffer.begin() + got;
    for (auto it = buffer.begin(); (it = std::search(it, end, std::begin(kSignature), std::end(kSignature))) != end;
         ++it) {
      const uint64_t candidate = at + static_cast<uint64_t>(it - buffer.begin());
      if (candidate >= to) break;
      if (auto found = ValidAt(file, candidate)) return found;
    }
  }
  return std::nullopt;
}

}  // namespace

Location Find7z(const ArchiveFile& file) {
  if (auto found = ValidAt(file, 0)) return {Found::Archive, *found};
  if (BeginsWithSignature(file, 0)) {
    bool cutShort = false;
    return {Found::Damaged, {}, StartAt(file, 0, cutShort) && cutShort};
  }
  // A stub's image end, where the archive normally follows, then the stub itself.
  const uint64_t imageEnd = ExecutableImage::Of(file).end;
  auto found = Scan(file, imageEnd, std::min(file.size(), imageEnd + kScanLimit));
  if (!found && imageEnd > 0) found = Scan(file, 0, imageEnd);
  return found ? Location{Found::Archive, *found} : Location{};
}

}  // namespace rkarc::sevenzip
