// Deflate64 decoding; see Deflate64Decoder.h. The block format is deflate's
// (RFC 1951); only the length code 285 and the two more distance codes differ.
#include "archivers/common/Deflate64Decoder.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

constexpr int kMaxBits = 15;
constexpr size_t kHistory = 65536;      // the farthest distance
constexpr size_t kChunk = 1024 * 1024;  // decoded between two slides of the window
constexpr size_t kSlack = 65538 + 8;    // the longest match, written 8 bytes at a time
constexpr size_t kInput = 64 * 1024;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 3};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 16};
constexpr uint32_t kDistanceBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                        49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                        2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistanceExtra[32] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                        7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

uint32_t Reversed(uint32_t code, int length) {
  uint32_t r = 0;
  for (int i = 0; i < length; ++i, code >>= 1) r = r << 1 | (code & 1);
  return r;
}

}  // namespace

// Codes are sent first bit first, so each is stored bit-reversed at every
// index whose low bits it fills. An over-subscribed code is refused; unused
// room in an incomplete one stays 0 and fails when met.
bool Deflate64Decoder::Table::build(const uint8_t* lengths, int symbols, int tableBits) {
  bits = tableBits;
  entries.assign(size_t{1} << bits, 0);
  int count[kMaxBits + 1] = {};
  for (int s = 0; s < symbols; ++s) ++count[lengths[s]];
  count[0] = 0;
  uint32_t next[kMaxBits + 2] = {};
  int32_t room = 1;
  for (int len = 1; len <= kMaxBits; ++len) {
    room = room * 2 - count[len];
    if (room < 0) return false;
    next[len + 1] = (next[len] + static_cast<uint32_t>(count[len])) << 1;
  }
  for (int s = 0; s < symbols; ++s) {
    const int len = lengths[s];
    if (len == 0) continue;
    if (len > bits) return false;
    const uint16_t entry = static_cast<uint16_t>(s << 4 | len);
    for (uint32_t at = Reversed(next[len]++, len); at < entries.size(); at += 1u << len) entries[at] = entry;
  }
  return true;
}

Deflate64Decoder::Deflate64Decoder(Source source)
    : m_source(std::move(source)), m_in(kInput), m_window(kHistory + kChunk + kSlack) {}

bool Deflate64Decoder::fail(Status status) {
  if (m_status == Status::Running) m_status = status;
  return false;
}

bool Deflate64Decoder::refillInput() {
  if (m_inputEnded) return false;
  const int64_t got = m_source(m_in.data(), m_in.size());
  if (got < 0) return fail(Status::ReadError);
  m_inputEnded = got == 0;
  m_inPos = 0;
  m_inEnd = static_cast<size_t>(got);
  return got > 0;
}

// Eight bytes at a time where the buffer holds them; the bits above m_count stay zero.
bool Deflate64Decoder::fill(int n) {
  if (m_count >= n) return true;
  if (m_inEnd - m_inPos >= 8) {
    const int bytes = (63 - m_count) >> 3;
    m_bitBuffer |= Le64(&m_in[m_inPos]) << m_count;
    m_count += bytes * 8;
    m_bitBuffer &= (uint64_t{1} << m_count) - 1;
    m_inPos += static_cast<size_t>(bytes);
    m_taken += static_cast<uint64_t>(bytes);
    return true;
  }
  while (m_count < n) {
    if (m_inPos == m_inEnd && !refillInput()) return false;
    m_bitBuffer |= static_cast<uint64_t>(m_in[m_inPos++]) << m_count;
    m_count += 8;
    ++m_taken;
  }
  return true;
}

uint32_t Deflate64Decoder::take(int n) {
  const auto value = static_cast<uint32_t>(m_bitBuffer & ((uint64_t{1} << n) - 1));
  m_bitBuffer >>= n;
  m_count -= n;
  return value;
}

bool Deflate64Decoder::bits(int n, uint32_t& value) {
  if (!fill(n)) return fail(Status::Truncated);
  value = take(n);
  return true;
}

int Deflate64Decoder::decode(const Table& table) {
  fill(table.bits);  // near the end fewer bits may do
  if (m_status != Status::Running) return -1;
  const uint16_t entry = table.entries[m_bitBuffer & (table.entries.size() - 1)];
  const int len = entry & 15;
  if (len == 0 || len > m_count) {
    fail(len == 0 && m_count >= table.bits ? Status::Damaged : Status::Truncated);
    return -1;
  }
  take(len);
  return entry >> 4;
}

bool Deflate64Decoder::readStoredHeader() {
  take(m_count % 8);
  uint32_t length = 0, inverse = 0;
  if (!bits(16, length) || !bits(16, inverse)) return false;
  if ((length ^ 0xFFFF) != inverse) return fail(Status::Damaged);
  m_storedLeft = length;
  m_block = Block::Stored;
  return true;
}

bool Deflate64Decoder::readDynamicTables() {
  uint32_t literals = 0, distances = 0, codeLengths = 0;
  if (!bits(5, literals) || !bits(5, distances) || !bits(4, codeLengths)) return false;
  literals += 257;
  distances += 1;
  codeLengths += 4;
  if (literals > 286) return fail(Status::Damaged);
  uint8_t lengths[320] = {};
  for (uint32_t i = 0; i < codeLengths; ++i) {
    uint32_t len = 0;
    if (!bits(3, len)) return false;
    lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(len);
  }
  Table lengthCode;
  if (!lengthCode.build(lengths, 19, 7)) return fail(Status::Damaged);
  std::fill(std::begin(lengths), std::end(lengths), 0);
  for (uint32_t at = 0; at < literals + distances;) {
    const int symbol = decode(lengthCode);
    if (symbol < 0) return false;
    if (symbol < 16) {
      lengths[at++] = static_cast<uint8_t>(symbol);
      continue;
    }
    uint32_t repeat = 0;
    uint8_t value = 0;
    if (symbol == 16) {
      if (at == 0 || !bits(2, repeat)) return at == 0 ? fail(Status::Damaged) : false;
      value = lengths[at - 1];
      repeat += 3;
    } else if (!bits(symbol == 17 ? 3 : 7, repeat)) {
      return false;
    } else {
      repeat += symbol == 17 ? 3 : 11;
    }
    if (at + repeat > literals + distances) return fail(Status::Damaged);
    std::fill_n(lengths + at, repeat, value);
    at += repeat;
  }
  if (lengths[256] == 0 || !m_literals.build(lengths, static_cast<int>(literals), kMaxBits) ||
      !m_distances.build(lengths + literals, static_cast<int>(distances), kMaxBits))
    return fail(Status::Damaged);
  return true;
}

bool Deflate64Decoder::startBlock() {
  uint32_t last = 0, type = 0;
  if (!bits(1, last) || !bits(2, type)) return false;
  m_last = last != 0;
  if (type == 0) return readStoredHeader();
  if (type == 1) {
    uint8_t lengths[320];
    std::fill_n(lengths, 144, 8);
    std::fill_n(lengths + 144, 112, 9);
    std::fill_n(lengths + 256, 24, 7);
    std::fill_n(lengths + 280, 8, 8);
    std::fill_n(lengths + 288, 32, 5);
    m_literals.build(lengths, 288, kMaxBits);
    m_distances.build(lengths + 288, 32, kMaxBits);
  } else if (type == 2) {
    if (!readDynamicTables()) return false;
  } else {
    return fail(Status::Damaged);
  }
  m_block = Block::Huffman;
  return true;
}

// A match within the window: eight bytes at a time where the source stays
// that far behind, byte by byte where it overlaps closer.
void Deflate64Decoder::copyMatch(uint32_t length, uint32_t distance) {
  uint8_t* to = m_window.data() + m_write;
  const uint8_t* from = to - distance;
  if (distance >= 8) {
    for (uint32_t i = 0; i < length; i += 8) std::memcpy(to + i, from + i, 8);
  } else {
    for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
  }
  m_write += length;
  m_total += length;
}

bool Deflate64Decoder::decodeSymbols(size_t limit) {
  while (m_write < limit) {
    const int symbol = decode(m_literals);
    if (symbol < 0) return false;
    if (symbol < 256) {
      m_window[m_write++] = static_cast<uint8_t>(symbol);
      ++m_total;
      continue;
    }
    if (symbol == 256) {
      m_block = Block::Header;
      return true;
    }
    if (symbol > 285) return fail(Status::Damaged);
    uint32_t extra = 0, distanceExtra = 0;
    if (!bits(kLengthExtra[symbol - 257], extra)) return false;
    const int distanceSymbol = decode(m_distances);
    if (distanceSymbol < 0 || !bits(kDistanceExtra[distanceSymbol], distanceExtra)) return false;
    const uint32_t distance = kDistanceBase[distanceSymbol] + distanceExtra;
    if (distance > m_total) return fail(Status::Damaged);
    copyMatch(kLengthBase[symbol - 257] + extra, distance);
  }
  return true;
}

bool Deflate64Decoder::copyStored(size_t limit) {
  if (m_storedLeft == 0) {
    m_block = Block::Header;
    return true;
  }
  if (m_count >= 8) {  // whole bytes the bit buffer holds come first
    m_window[m_write++] = static_cast<uint8_t>(take(8));
    --m_storedLeft;
    ++m_total;
    return true;
  }
  if (m_inPos == m_inEnd && !refillInput()) return fail(Status::Truncated);
  const size_t n = std::min({static_cast<size_t>(m_storedLeft), m_inEnd - m_inPos, limit - m_write});
  std::memcpy(m_window.data() + m_write, m_in.data() + m_inPos, n);
  m_inPos += n;
  m_taken += n;
  m_write += n;
  m_total += n;
  m_storedLeft -= static_cast<uint32_t>(n);
  return true;
}

// Decodes into the window up to about kChunk bytes past its history.
void Deflate64Decoder::decodeChunk() {
  if (m_write >= kHistory + kChunk) {
    std::memmove(m_window.data(), m_window.data() + m_write - kHistory, kHistory);
    m_read = m_write = kHistory;
  }
  const size_t limit = kHistory + kChunk;
  while (m_write < limit && m_status == Status::Running) {
    if (m_block == Block::Stored) {
      copyStored(limit);
    } else if (m_block == Block::Huffman) {
      decodeSymbols(limit);
    } else if (m_last) {
      m_status = Status::End;
    } else {
      startBlock();
    }
  }
}

int64_t Deflate64Decoder::read(uint8_t* out, size_t size) {
  while (m_read == m_write) {
    if (m_status != Status::Running) return m_status == Status::End ? 0 : -1;
    decodeChunk();
  }
  const size_t n = std::min(size, m_write - m_read);
  std::memcpy(out, m_window.data() + m_read, n);
  m_read += n;
  return static_cast<int64_t>(n);
}

}  // namespace rkarc
