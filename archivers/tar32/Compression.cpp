// Compression sniffing and header checks; see Compression.h.
#include "archivers/tar32/Compression.h"

#include <isa-l/igzip_lib.h>

#define ZSTD_STATIC_LINKING_ONLY  // ZSTD_getFrameHeader
#include <lzma.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "archivers/common/Bytes.h"
#include "archivers/tar32/ZstdStream.h"

namespace rkarc::tar {
namespace {

bool GzipHeaderDecodes(const InputFile& file) {
  std::vector<unsigned char> in(static_cast<size_t>(std::min<uint64_t>(file.size(), 16 * 1024)));
  if (!file.readExact(0, in.data(), in.size())) return false;
  auto state = std::make_unique<inflate_state>();
  isal_inflate_init(state.get());
  state->crc_flag = ISAL_GZIP;
  std::vector<unsigned char> out(64 * 1024);
  state->next_in = in.data();
  state->avail_in = static_cast<uint32_t>(in.size());
  state->next_out = out.data();
  state->avail_out = static_cast<uint32_t>(out.size());
  return isal_inflate(state.get()) == ISAL_DECOMP_OK;
}

// The 13-byte header of the old .lzma format, which has no magic: the
// literal and position bits, a dictionary size as its encoders write them
// (2^n or 2^n + 2^(n-1)), and the data size or "unknown".
bool LooksLikeLzmaHeader(const unsigned char* h) {
  if (h[0] >= 9 * 5 * 5) return false;
  const uint32_t dictionary = Le32(h + 1);
  bool usual = false;
  for (unsigned n = 12; n <= 30 && !usual; ++n) usual = dictionary == 1u << n || dictionary == (3u << (n - 1));
  const uint64_t size = Le64(h + 5);
  return usual && (size == UINT64_MAX || size < (1ull << 48));
}

bool XzHeaderChecks(const unsigned char* h) {
  return h[6] == 0 && (h[7] == 0 || h[7] == 1 || h[7] == 4 || h[7] == 10) && lzma_crc32(h + 6, 2, 0) == Le32(h + 8);
}

}  // namespace

Compression Sniff(const InputFile& file) {
  unsigned char m[13] = {};
  const int64_t got = file.readAt(0, m, sizeof m);
  if (got < 3) return Compression::None;
  if (m[0] == 0x1F && m[1] == 0x8B) return Compression::Gzip;
  if (m[0] == 0x1F && m[1] == 0x9D) return Compression::Compress;
  if (m[0] == 'B' && m[1] == 'Z' && m[2] == 'h') return Compression::Bzip2;
  if (got >= 6 && std::memcmp(m, "\xFD" "7zXZ\0", 6) == 0) return Compression::Xz;
  if (got >= 4 && ZstdStream::IsFrameStart(m)) return Compression::Zstd;
  if (got >= 4 && std::memcmp(m, "LZIP", 4) == 0) return Compression::Lzip;
  if (got == sizeof m && LooksLikeLzmaHeader(m)) {
    // A tar archive whose first name happens to read like that header is a tar archive.
    unsigned char block[512];
    if (!file.readExact(0, block, sizeof block) || !IsTarHeader(block, sizeof block)) return Compression::Lzma;
  }
  return Compression::None;
}

bool IsTarHeader(const unsigned char* block, size_t size) {
  if (size < 512) return false;
  unsigned sum = 0;
  bool allZero = true;
  for (size_t i = 0; i < 512; ++i) {
    allZero = allZero && block[i] == 0;
    sum += (i >= 148 && i < 156) ? ' ' : block[i];
  }
  if (allZero) return false;
  unsigned stored = 0;
  bool digits = false;
  for (size_t i = 148; i < 156; ++i) {
    const unsigned char c = block[i];
    if (c >= '0' && c <= '7') {
      stored = stored * 8 + (c - '0');
      digits = true;
    } else if (c != ' ' && c != 0) {
      return false;
    } else if (digits) {
      break;
    }
  }
  return digits && stored == sum;
}

bool LooksExtractable(const InputFile& file) {
  unsigned char head[512] = {};
  const int64_t got = file.readAt(0, head, sizeof head);
  if (got < 3) return false;
  switch (Sniff(file)) {
    case Compression::Gzip:
      return got >= 18 && head[2] == 8 && (head[3] & 0xE0) == 0 && GzipHeaderDecodes(file);
    case Compression::Bzip2:
      return got >= 10 && head[3] >= '1' && head[3] <= '9' &&
             (std::memcmp(head + 4, "\x31\x41\x59\x26\x53\x59", 6) == 0 ||
              std::memcmp(head + 4, "\x17\x72\x45\x38\x50\x90", 6) == 0);
    case Compression::Compress:
      return (head[2] & 0x60) == 0 && (head[2] & 0x1F) >= 9 && (head[2] & 0x1F) <= 16;
    case Compression::Xz:
      return got >= 12 && XzHeaderChecks(head);
    case Compression::Zstd: {
      ZSTD_frameHeader header{};
      return ZSTD_getFrameHeader(&header, head, static_cast<size_t>(got)) == 0;
    }
    case Compression::Lzip:  // version 1, a dictionary of 4 KiB to 512 MiB
      return got >= 6 && head[4] == 1 && (head[5] & 0x1F) >= 12 && (head[5] & 0x1F) <= 29;
    case Compression::Lzma:
      return true;
    case Compression::None:
      return IsTarHeader(head, static_cast<size_t>(got));
  }
  return false;
}

}  // namespace rkarc::tar
