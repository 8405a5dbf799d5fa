// Deflate64 decoding; see Deflate64Decoder.h. The block format is deflate's
// (RFC 1951); only the length code 285 and the two more distance codes differ.
#include "archivers/common/Deflate64Decoder.h"

#include <algorithm>

namespace rkarc {
namespace {

constexpr int kMaxBits = 15;
constexpr size_t kWindow = 1u << 17;  // more than the farthest distance, 65536
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

Deflate64Decoder::Deflate64Decoder(Source source) : m_source(std::move(source)), m_in(kInput), m_window(kWindow) {}

bool Deflate64Decoder::fail(Status status) {
  if (m_status == Status::Running) m_status = status;
  return false;
}

bool Deflate64Decoder::fill(int n) {
  while (m_count < n) {
    if (m_inPos == m_inEnd) {
      if (m_inputEnded) return false;
      const int64_t got = m_source(m_in.data(), m_in.size());
      if (got < 0) return fail(Status::ReadError);
      if (got == 0) {
        m_inputEnded = true;
        return false;
      }
      m_inPos = 0;
      m_inEnd = static_cast<size_t>(got);
    }
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

void Deflate64Decoder::put(uint8_t byte, uint8_t* out, size_t& done) {
  m_window[m_total++ & (kWindow - 1)] = byte;
  out[done++] = byte;
}

bool Deflate64Decoder::step(uint8_t* out, size_t& done) {
  const int symbol = decode(m_literals);
  if (symbol < 0) return false;
  if (symbol < 256) {
    put(static_cast<uint8_t>(symbol), out, done);
    return true;
  }
  if (symbol == 256) {
    m_block = Block::Header;
    return false;
  }
  if (symbol > 285) return fail(Status::Damaged);
  uint32_t extra = 0, distanceExtra = 0;
  if (!bits(kLengthExtra[symbol - 257], extra)) return false;
  const int distanceSymbol = decode(m_distances);
  if (distanceSymbol < 0 || !bits(kDistanceExtra[distanceSymbol], distanceExtra)) return false;
  m_copyLeft = kLengthBase[symbol - 257] + extra;
  m_copyDistance = kDistanceBase[distanceSymbol] + distanceExtra;
  if (m_copyDistance > m_total) return fail(Status::Damaged);
  return true;
}

int64_t Deflate64Decoder::read(uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size && m_status == Status::Running) {
    if (m_copyLeft > 0) {
      const size_t n = std::min<size_t>(m_copyLeft, size - done);
      for (size_t i = 0; i < n; ++i) put(m_window[(m_total - m_copyDistance) & (kWindow - 1)], out, done);
      m_copyLeft -= static_cast<uint32_t>(n);
    } else if (m_block == Block::Stored) {
      if (m_storedLeft == 0) {
        m_block = Block::Header;
        continue;
      }
      uint32_t byte = 0;
      if (!bits(8, byte)) break;
      put(static_cast<uint8_t>(byte), out, done);
      --m_storedLeft;
    } else if (m_block == Block::Huffman) {
      while (done < size && m_copyLeft == 0 && step(out, done)) {
      }
    } else if (m_last) {
      m_status = Status::End;
    } else {
      startBlock();
    }
  }
  if (done > 0) return static_cast<int64_t>(done);
  return m_status == Status::End ? 0 : -1;
}

}  // namespace rkarc
