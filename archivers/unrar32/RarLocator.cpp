// Locating a RAR archive behind a stub; see RarLocator.h.
#include "archivers/unrar32/RarLocator.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "archivers/common/Bytes.h"

namespace rkarc::rar {
namespace {

constexpr unsigned char kSignature4[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
constexpr unsigned char kSignature5[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};
constexpr uint64_t kScanLimit = 16ull * 1024 * 1024;

uint32_t Crc32(const unsigned char* p, size_t n) {
  return static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

// RAR 4: a main header block (type 0x73) whose 16-bit CRC matches.
bool ValidMain4(const InputFile& file, uint64_t at) {
  unsigned char h[64];
  if (!file.readExact(at, h, 7)) return false;
  const uint16_t size = Le16(h + 5);
  if (h[2] != 0x73 || size < 13 || size > sizeof h || !file.readExact(at, h, size)) return false;
  return (Crc32(h + 2, size - 2) & 0xFFFF) == Le16(h);
}

// RAR 5: a main archive header (type 1) whose CRC-32 matches.
bool ValidMain5(const InputFile& file, uint64_t at) {
  unsigned char h[4 + 3 + 256];
  const int64_t got = file.readAt(at, h, sizeof h);
  if (got < 7) return false;
  uint64_t size = 0;
  const size_t used = ReadVint(h + 4, 3, size);
  if (used == 0 || size == 0 || 4 + used + size > static_cast<uint64_t>(got)) return false;
  uint64_t type = 0;
  if (ReadVint(h + 4 + used, static_cast<size_t>(size), type) == 0 || type != 1) return false;
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

uint64_t ExecutableImageEnd(const InputFile& file) {
  unsigned char mz[64];
  if (!file.readExact(0, mz, sizeof mz) || mz[0] != 'M' || mz[1] != 'Z') return 0;
  const uint32_t peAt = Le32(mz + 0x3C);
  unsigned char pe[24];
  if (file.readExact(peAt, pe, sizeof pe) && std::memcmp(pe, "PE\0\0", 4) == 0) {
    const uint16_t sections = Le16(pe + 6);
    const uint64_t table = peAt + 24ull + Le16(pe + 20);
    uint64_t end = 0;
    for (uint16_t i = 0; i < sections; ++i) {
      unsigned char s[40];
      if (!file.readExact(table + 40ull * i, s, sizeof s)) break;
      end = std::max<uint64_t>(end, static_cast<uint64_t>(Le32(s + 20)) + Le32(s + 16));
    }
    return std::min(end, file.size());
  }
  const uint16_t lastPage = Le16(mz + 2), pages = Le16(mz + 4);
  if (pages == 0) return 0;
  const uint64_t end = lastPage == 0 ? pages * 512ull : (pages - 1) * 512ull + lastPage;
  return std::min(end, file.size());
}

std::optional<RarStart> FindRar(const InputFile& file) {
  if (auto found = ValidAt(file, 0)) return found;
  const uint64_t imageEnd = ExecutableImageEnd(file);
  const uint64_t limit = std::min(file.size(), imageEnd + kScanLimit);
  if (auto found = Scan(file, imageEnd, limit)) return found;
  if (imageEnd > 0) return Scan(file, 0, std::min(imageEnd, file.size()));
  return std::nullopt;
}

}  // namespace rkarc::rar
