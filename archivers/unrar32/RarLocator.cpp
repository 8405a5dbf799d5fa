// Locating a RAR archive behind a stub; see RarLocator.h.
#include "archivers/unrar32/RarLocator.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/common/ArchiveFile.h"
#include "archivers/common/Bytes.h"
#include "archivers/common/ExecutableImage.h"

namespace rkarc::rar {
namespace {

constexpr unsigned char kSignature4[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr unsigned char kSignature5[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};
constexpr uint64_t kScanLimit = 16ull * 1024 * 1024;

uint32_t Crc32(const unsigned char* p, size_t n) {
  return static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

// RAR 4: a main header block (type 0x73) whose 16-bit CRC matches; that of
// a RAR 2.x main header holding the archive comment covers what precedes it.
bool ValidMain4(const InputFile& file, uint64_t at) {
  unsigned char head[7];
  if (!file.readExact(at, head, 7)) return false;
  const uint16_t size = Le16(head + 5);
  if (head[2] != 0x73 || size < 13) return false;
  std::vector<unsigned char> h(size);
  if (!file.readExact(at, h.data(), size)) return false;
  const uint16_t want = Le16(head);
  return (Crc32(&h[2], size - 2u) & 0xFFFF) == want || ((Le16(head + 3) & 0x0002) && (Crc32(&h[2], 11) & 0xFFFF) == want);
}

// RAR 5: a main archive header (type 1) whose CRC-32 matches, or the
// encryption header of an archive with encrypted headers.
bool ValidMain5(const InputFile& file, uint64_t at) {
  unsigned char h[4 + 3 + 256];
  const int64_t got = file.readAt(at, h, sizeof h);
  if (got < 7) return false;
  uint64_t size = 0;
  const size_t used = ReadVint(h + 4, 3, size);
  if (used == 0 || size == 0 || 4 + used + size > static_cast<uint64_t>(got)) return false;
  uint64_t type = 0;
  // Type 4: the archive encryption header that precedes the encrypted main header.
  if (ReadVint(h + 4 + used, static_cast<size_t>(size), type) == 0 || (type != 1 && type != 4)) return false;
  return Crc32(h + 4, used + static_cast<size_t>(size)) == Le32(h);
}

std::optional<RarStart> ValidAt(const InputFile& file, uint64_t at) {
  unsigned char sig[8] = {};
  if (file.readAt(at, sig, sizeof sig) < 7) return std::nullopt;
  if (std::memcmp(sig, kSignature5, 8) == 0 && ValidMain5(file, at + 8)) return RarStart{at, 5};
  if (std::memcmp(sig, kSignature4, 7) == 0 && ValidMain4(file, at + 7)) return RarStart{at, 4};
  return std::nullopt;
}

std::optional<RarStart> Scan(const InputFile& file, uint64_t from, uint64_t to) {
  constexpr size_t kChunk = 1024 * 1024;
  std::vector<unsigned char> buffer(kChunk + 6);
  for (uint64_t at = from; at < to; at += kChunk) {
    const int64_t got = file.readAt(at, buffer.data(), buffer.size());
    if (got < 7) return std::nullopt;
    const auto end = buffer.begin() + got;
    for (auto it = buffer.begin(); (it = std::search(it, end, kSignature4, kSignature4 + 6)) != end; ++it) {
      const uint64_t candidate = at + static_cast<uint64_t>(it - buffer.begin());
      if (candidate >= to) break;
      if (auto found = ValidAt(file, candidate)) return found;
    }
  }
  return std::nullopt;
}

}  // namespace

size_t ReadVint(const unsigned char* p, size_t size, uint64_t& value) {
  value = 0;
  for (size_t i = 0; i < size && i < 10; ++i) {
    value |= static_cast<uint64_t>(p[i] & 0x7F) << (7 * i);
    if ((p[i] & 0x80) == 0) return i + 1;
  }
  return 0;
}

std::optional<RarStart> FindRar(const InputFile& file) {
  if (auto found = ValidAt(file, 0)) return found;
  ArchiveFile stub;
  const uint64_t imageEnd = stub.openDuplicate(file.fd(), file.size()) ? ExecutableImage::Of(stub).end : 0;
  const uint64_t limit = std::min(file.size(), imageEnd + kScanLimit);
  if (auto found = Scan(file, imageEnd, limit)) return found;
  if (imageEnd > 0) return Scan(file, 0, std::min(imageEnd, file.size()));
  return std::nullopt;
}

}  // namespace rkarc::rar
