// Decoding one bzip2 block; see Bzip2Block.h. The limits and the order of
// the checks follow libbz2 1.0.8's decompress.c.
#include "archivers/tar32/Bzip2Block.h"

#include <isa-l/crc.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "archivers/tar32/Bzip2Code.h"
#include "archivers/tar32/Bzip2Runs.h"

// libbz2's table of the distances between the flipped bytes of the blocks
// that bzip2 0.9.0 "randomised"; libbz2 exports it.
extern "C" int BZ2_rNums[512];

namespace rkarc::tar {
namespace {

constexpr uint32_t kMagicHigh = 0x314159, kMagicLow = 0x265359;
constexpr int kMaxGroups = 6;
constexpr int kGroupSize = 50;
constexpr int kMaxSelectors = 18002;  // more may be stored; they are never used
constexpr int kMaxAlphabet = Bzip2Code::kMaxSymbols;
constexpr int kMaxCodeLength = 20;
constexpr int kRunA = 0, kRunB = 1;
constexpr uint32_t kMaxBlock = 900000;
constexpr uint32_t kMaxRun = 2 * 1024 * 1024;  // libbz2's bound on a run's weight


}  // namespace

struct Bzip2BlockDecoder::Tables {
  std::array<uint8_t, 256> byteOf{};  // symbol index -> byte value (seqToUnseq)
  int used = 0;                       // byte values present (nInUse)
  int groups = 0;
  int selectorCount = 0;
  std::array<uint8_t, kMaxSelectors> selectors{};
  std::array<Bzip2Code, kMaxGroups> codes;
  std::array<uint32_t, 256> counts{};  // of each byte value (unzftab)
};

namespace {

constexpr uint32_t kFailed = ~0u;

// Reads the Huffman-coded symbols, 50 to a group, each group with its
// selector's code.
class SymbolReader {
 public:
  SymbolReader(Bzip2Bits& in, const Bzip2BlockDecoder::Tables& t) : m_in(in), m_t(t) {}
  // False when the groups run out or no code matches.
  [[gnu::always_inline]] bool next(int& symbol) {
    if (m_left == 0) {
      if (++m_group >= m_t.selectorCount) return false;
      m_left = kGroupSize;
      m_code = &m_t.codes[m_t.selectors[m_group]];
    }
    --m_left;
    const auto [s, length] = m_code->match(m_in.peek(Bzip2Code::kWindow));
    m_in.skip(length);
    if (s < 0) return false;
    symbol = s;
    return true;
  }

 private:
  Bzip2Bits& m_in;
  const Bzip2BlockDecoder::Tables& m_t;
  const Bzip2Code* m_code = nullptr;
  int m_group = -1;
  int m_left = 0;
};

// Moves the byte at `index` (1-255) of the list to its front.
[[gnu::always_inline]] inline uint8_t MoveToFront(uint8_t* front, int index) {
  const uint8_t b = front[index];
  if (index < 16) {
    for (int i = index; i > 0; --i) front[i] = front[i - 1];
  } else {
    std::memmove(front + 1, front, static_cast<size_t>(index));
  }
  front[0] = b;
  return b;
}

// The block's bytes into tt's low 8 bits, counted by value; the count, or
// kFailed where libbz2 reports BZ_DATA_ERROR.
uint32_t DecodeSymbols(SymbolReader& symbols, const std::array<uint8_t, 256>& byteOf, int endOfBlock, uint32_t maxBlock,
                       uint32_t* __restrict tt, uint32_t* __restrict counts) {
  std::array<uint8_t, 256> front = byteOf;  // the move-to-front list, of byte values
  uint32_t n = 0;
  int symbol = 0;
  if (!symbols.next(symbol)) return kFailed;
  while (symbol != endOfBlock) {
    if (symbol == kRunA || symbol == kRunB) {
      uint32_t run = 0, weight = 1;
      do {
        if (weight >= kMaxRun) return kFailed;
        run += (symbol == kRunA ? 1 : 2) * weight;
        weight <<= 1;
        if (!symbols.next(symbol)) return kFailed;
      } while (symbol == kRunA || symbol == kRunB);
      if (run > maxBlock - n) return kFailed;
      const uint8_t b = front[0];
      counts[b] += run;
      std::fill(tt + n, tt + n + run, b);
      n += run;
      continue;
    }
    if (n >= maxBlock) return kFailed;
    const uint8_t b = MoveToFront(front.data(), symbol - 1);
    ++counts[b];
    tt[n++] = b;
    if (!symbols.next(symbol)) return kFailed;
  }
  return n;
}

// Where each row's byte leads (beside the byte already there); `counts`
// hold how often each byte value occurs.
void LinkRows(const uint32_t* counts, uint32_t n, uint32_t* __restrict tt) {
  std::array<uint32_t, 256> next;
  uint32_t sum = 0;
  for (int b = 0; b < 256; ++b) {
    next[b] = sum;
    sum += counts[b];
  }
  for (uint32_t i = 0; i < n; ++i) tt[next[tt[i] & 0xFF]++] |= i << 8;
}

// Every byte taken counts down to the next flipped one (libbz2's BZ_RAND_MASK).
void Unrandomise(uint8_t* bytes, uint32_t n) {
  int toGo = 0, table = 0;
  for (uint32_t k = 0; k < n; ++k) {
    if (toGo == 0) {
      toGo = BZ2_rNums[table];
      table = (table + 1) % 512;
    }
    --toGo;
    bytes[k] ^= toGo == 1 ? 1 : 0;
  }
}

}  // namespace

void Bzip2BlockDecoder::FreeLinks::operator()(uint32_t* p) const { std::free(p); }

// On huge pages where the kernel gives them: the walk through the links
// jumps across 3.6 MB, and with 4 KB pages most of its steps would miss the
// TLB as well as the cache.
uint32_t* Bzip2BlockDecoder::links() {
  if (!m_links) {
    constexpr size_t kHuge = 2 * 1024 * 1024;
    const size_t size = (kMaxBlock * sizeof(uint32_t) + kHuge - 1) / kHuge * kHuge;
    void* memory = nullptr;
    if (posix_memalign(&memory, kHuge, size) != 0) throw std::bad_alloc();
    madvise(memory, size, MADV_HUGEPAGE);
    m_links.reset(static_cast<uint32_t*>(memory));
  }
  return m_links.get();
}

Bzip2BlockDecoder::Bzip2BlockDecoder() : m_tables(std::make_unique<Tables>()) {}
Bzip2BlockDecoder::~Bzip2BlockDecoder() = default;

void Bzip2BlockDecoder::decode(const InputFile& file, uint64_t start, int level, Bzip2Block& block,
                               const std::atomic<bool>* stop) {
  block.start = start;
  block.level = level;
  block.runs = false;
  block.bytes.clear();
  Bzip2Bits in(file, m_input, stop);
  in.start(start);
  const bool read = readBlock(in, level);
  block.end = in.position();
  // Whatever went wrong once the bits had run out, libbz2 would have stopped
  // before it, waiting for input that never comes.
  if (in.readFailed()) {
    block.status = Bzip2Block::Status::Unreadable;
  } else if (in.pastEnd() || (stop && stop->load(std::memory_order_relaxed))) {
    block.status = Bzip2Block::Status::Cut;
  } else if (!read) {
    block.status = Bzip2Block::Status::Damaged;
  } else {
    undoTransform();
    block.crc = m_storedCrc;
    block.status = expand(block) ? Bzip2Block::Status::Ok : Bzip2Block::Status::Damaged;
  }
}

bool Bzip2BlockDecoder::readBlock(Bzip2Bits& in, int level) {
  if (in.take(24) != kMagicHigh || in.take(24) != kMagicLow) return false;
  m_storedCrc = in.take(32);
  m_randomised = in.take(1) != 0;
  m_origin = in.take(24);
  if (m_origin > 10 + 100000 * static_cast<uint32_t>(level)) return false;
  return readByteMap(in) && readSelectors(in) && readCodes(in) && readSymbols(in, level) && m_origin < m_count;
}

// Which byte values occur: 16 bits for the ranges of 16, then 16 bits for
// each range present.
bool Bzip2BlockDecoder::readByteMap(Bzip2Bits& in) {
  Tables& t = *m_tables;
  const uint32_t ranges = in.take(16);
  t.used = 0;
  for (int r = 0; r < 16; ++r) {
    if (!(ranges & (0x8000u >> r))) continue;
    const uint32_t bytes = in.take(16);
    for (int b = 0; b < 16; ++b)
      if (bytes & (0x8000u >> b)) t.byteOf[t.used++] = static_cast<uint8_t>(r * 16 + b);
  }
  return t.used > 0;
}

// Which code each group of 50 symbols uses: unary numbers, move-to-front coded.
bool Bzip2BlockDecoder::readSelectors(Bzip2Bits& in) {
  Tables& t = *m_tables;
  t.groups = static_cast<int>(in.take(3));
  if (t.groups < 2 || t.groups > kMaxGroups) return false;
  t.selectorCount = static_cast<int>(in.take(15));
  if (t.selectorCount < 1) return false;
  std::array<uint8_t, kMaxGroups> order{0, 1, 2, 3, 4, 5};
  for (int i = 0; i < t.selectorCount; ++i) {
    int j = 0;
    while (in.take(1)) {
      if (++j >= t.groups) return false;
    }
    if (i >= kMaxSelectors) continue;
    const uint8_t group = order[j];
    std::memmove(order.data() + 1, order.data(), static_cast<size_t>(j));
    order[0] = group;
    t.selectors[i] = group;
  }
  t.selectorCount = std::min(t.selectorCount, kMaxSelectors);
  return true;
}

// Each group's code lengths: a 5-bit start, then per symbol a walk of +1/-1
// steps, every length staying within 1-20.
bool Bzip2BlockDecoder::readCodes(Bzip2Bits& in) {
  Tables& t = *m_tables;
  const int alphabet = t.used + 2;
  std::array<uint8_t, kMaxAlphabet> lengths{};
  for (int g = 0; g < t.groups; ++g) {
    int length = static_cast<int>(in.take(5));
    for (int s = 0; s < alphabet; ++s) {
      for (;;) {
        if (length < 1 || length > kMaxCodeLength) return false;
        if (!in.take(1)) break;
        length += in.take(1) ? -1 : 1;
      }
      lengths[s] = static_cast<uint8_t>(length);
    }
    t.codes[g].build(lengths.data(), alphabet);
  }
  return true;
}

// The move-to-front indices, with runs of the front byte written as RUNA/RUNB
// digits (bijective base 2), up to the end-of-block symbol. The bytes go into
// the links' low 8 bits.
bool Bzip2BlockDecoder::readSymbols(Bzip2Bits& in, int level) {
  SymbolReader symbols(in, *m_tables);
  std::array<uint32_t, 256> counts{};
  const uint32_t count = DecodeSymbols(symbols, m_tables->byteOf, m_tables->used + 1,
                                       100000 * static_cast<uint32_t>(level), links(), counts.data());
  std::copy(counts.begin(), counts.end(), m_tables->counts.begin());
  m_count = count;
  return count != kFailed;
}

// The inverse Burrows-Wheeler transform (docs/formats/GZIP-TAR.md section 3):
// each row's link to the next goes beside its byte, and the links are
// followed from the original row (Bzip2Rows).
void Bzip2BlockDecoder::undoTransform() {
  if (m_bytes.size() < kMaxBlock) m_bytes.resize(kMaxBlock);
  uint32_t* tt = links();
  LinkRows(m_tables->counts.data(), m_count, tt);
  m_rows.walk(tt, m_count, m_origin, m_bytes.data());
  if (m_randomised) Unrandomise(m_bytes.data(), m_count);
}

// The runs of four, expanded into the block, and the block's CRC. A block
// that stands for more than kMaxBytes keeps its runs; its CRC is then taken
// over the expansion piece by piece.
bool Bzip2BlockDecoder::expand(Bzip2Block& block) {
  Bzip2Runs runs;
  runs.start(m_bytes.data(), m_count);
  block.bytes.resize(std::min<size_t>(Bzip2Block::kMaxBytes, m_count + m_count / 8 + 64));
  size_t have = 0;
  for (;;) {
    have += runs.expand(block.bytes.data() + have, block.bytes.size() - have);
    if (runs.finished() || have < block.bytes.size() || block.bytes.size() == Bzip2Block::kMaxBytes) break;
    block.bytes.resize(std::min(Bzip2Block::kMaxBytes, block.bytes.size() * 2));
  }
  uint32_t crc = crc32_ieee(0, block.bytes.data(), have);
  if (!runs.finished()) {
    while (!runs.finished() && !runs.broken()) {
      const size_t got = runs.expand(block.bytes.data(), block.bytes.size());
      crc = crc32_ieee(crc, block.bytes.data(), got);
    }
    block.runs = true;
    block.bytes = std::vector<uint8_t>(m_bytes.begin(), m_bytes.begin() + m_count);
  } else {
    block.bytes.resize(have);
  }
  return !runs.broken() && crc == m_storedCrc;
}

}  // namespace rkarc::tar
