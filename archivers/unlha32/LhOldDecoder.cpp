// The -lh2- and -lh3- decoders; see LhOldDecoder.h.
#include "archivers/unlha32/LhOldDecoder.h"

#include <algorithm>
#include <array>
#include <vector>

#include "archivers/common/CanonicalCode.h"
#include "archivers/common/MsbBitReader.h"
#include "archivers/unlha32/AdaptiveHuffman.h"
#include "archivers/unlha32/Crc16.h"
#include "archivers/unlha32/LhDecoder.h"

namespace rkarc {
namespace {

constexpr int kLiteralSymbols = 286;  // 256 literals, lengths 3 to 31, and 285 with 8 more bits
constexpr int kPositionSymbols = 128;  // the upper 7 bits of a 13-bit position
constexpr int kLengthBase = 253;       // symbol 256 is a copy of 3 bytes
constexpr size_t kWindow = 8192;

// The symbols of one method: the literal/length symbol and the upper bits of a
// position, -1 for damage.
class SymbolSource {
 public:
  virtual ~SymbolSource() = default;
  virtual int literal(MsbBitReader& in) = 0;
  virtual int position(MsbBitReader& in, uint64_t decoded) = 0;
};

class AdaptiveSource : public SymbolSource {
 public:
  int literal(MsbBitReader& in) override { return m_tree.decodeSymbol([&in] { return static_cast<int>(in.get(1)); }); }
  int position(MsbBitReader& in, uint64_t decoded) override {
    return m_tree.decodePosition([&in] { return static_cast<int>(in.get(1)); }, decoded);
  }

 private:
  AdaptiveHuffman m_tree;
};

// -lh3-: each block has a symbol count, the literal code (a flag and 4 bits
// per length), and either position code lengths (4 bits each) or the fixed
// position code. Three lengths of 1 first mean a code of one symbol.
class BlockSource : public SymbolSource {
 public:
  int literal(MsbBitReader& in) override {
    if (m_left == 0 && !startBlock(in)) return -1;
    --m_left;
    return Next(in, m_literals);
  }
  int position(MsbBitReader& in, uint64_t) override { return Next(in, m_positions); }

 private:
  static int Next(MsbBitReader& in, const auto& code) {
    const auto match = code.match(in.peek16());
    if (match.symbol >= 0) in.skip(match.length);
    return match.symbol;
  }

  bool startBlock(MsbBitReader& in) {
    m_left = in.get(16);
    if (m_left == 0) m_left = 0x10000;
    std::array<uint8_t, kLiteralSymbols> lengths{};
    for (int i = 0; i < kLiteralSymbols; ++i) {
      lengths[i] = static_cast<uint8_t>(in.get(1) ? in.get(4) + 1 : 0);
      if (i == 2 && lengths[0] == 1 && lengths[1] == 1 && lengths[2] == 1) {
        const int only = static_cast<int>(in.get(9));
        if (only >= kLiteralSymbols) return false;
        m_literals.single(only);
        return readPositions(in);
      }
    }
    return m_literals.build(lengths.data(), kLiteralSymbols, true) && readPositions(in);
  }

  bool readPositions(MsbBitReader& in) {
    std::array<uint8_t, kPositionSymbols> lengths{};
    if (!in.get(1)) return m_positions.build(FixedPositionLengths().data(), kPositionSymbols, true);
    for (int i = 0; i < kPositionSymbols; ++i) {
      lengths[i] = static_cast<uint8_t>(in.get(4));
      if (i == 2 && lengths[0] == 1 && lengths[1] == 1 && lengths[2] == 1) {
        m_positions.single(static_cast<int>(in.get(7)));
        return true;
      }
    }
    return m_positions.build(lengths.data(), kPositionSymbols, true);
  }

  // Lengths 2 to 9: from position 0 one code of 2 bits, then a length more at
  // each listed position.
  static const std::array<uint8_t, kPositionSymbols>& FixedPositionLengths() {
    static const std::array<uint8_t, kPositionSymbols> lengths = [] {
      std::array<uint8_t, kPositionSymbols> l{};
      constexpr int kLonger[] = {1, 1, 3, 6, 13, 31, 78};
      uint8_t length = 2;
      for (int i = 0, k = 0; i < kPositionSymbols; ++i) {
        while (k < 7 && kLonger[k] == i) ++length, ++k;
        l[i] = length;
      }
      return l;
    }();
    return lengths;
  }

  uint32_t m_left = 0;
  CanonicalCode<12> m_literals;
  CanonicalCode<8> m_positions;
};

// The LZ77 loop: the window starts as spaces, which copies may read.
LzhDecoder::Result Run(SymbolSource& source, MsbBitReader& in, uint64_t total, Crc16& crc,
                       const LzhDecoder::Output& output) {
  using Result = LzhDecoder::Result;
  std::vector<uint8_t> window(kWindow, ' ');
  std::vector<uint8_t> out;
  out.reserve(64 * 1024);
  const auto flush = [&] {
    crc.update(out.data(), out.size());
    const bool taken = output(out.data(), out.size());
    out.clear();
    return taken;
  };
  uint64_t done = 0;
  size_t at = 0;
  const auto put = [&](uint8_t byte) {
    window[at] = byte;
    at = (at + 1) % kWindow;
    out.push_back(byte);
    ++done;
  };
  while (done < total) {
    int symbol = source.literal(in);
    if (symbol < 0 || in.overrun()) return Result::Damaged;
    if (symbol == kLiteralSymbols - 1) symbol += static_cast<int>(in.get(8));
    if (symbol < 256) {
      put(static_cast<uint8_t>(symbol));
    } else {
      const int upper = source.position(in, done);
      if (upper < 0) return Result::Damaged;
      const size_t distance = (static_cast<size_t>(upper) << 6 | in.get(6)) + 1;
      const uint64_t length = std::min<uint64_t>(static_cast<uint64_t>(symbol - kLengthBase), total - done);
      size_t from = (at + kWindow - distance) % kWindow;
      for (uint64_t i = 0; i < length; ++i, from = (from + 1) % kWindow) put(window[from]);
    }
    if (out.size() >= 60 * 1024 && !flush()) return Result::OutputFailed;
  }
  if (in.overrun()) return Result::Damaged;
  return flush() ? Result::Ok : Result::OutputFailed;
}

}  // namespace

LzhDecoder::Result LhOldDecoder::Decode(const ArchiveFile& file, const LzhHeader& header,
                                        const LzhDecoder::Output& output, const LzhDecoder::Position& position) {
  using Result = LzhDecoder::Result;
  MsbBitReader in = LhDecoder::DataReader(file, header, position);
  AdaptiveSource adaptive;
  BlockSource blocks;
  SymbolSource& source = header.method == "-lh2-" ? static_cast<SymbolSource&>(adaptive) : blocks;
  Crc16 crc;
  const Result result = Run(source, in, header.originalSize, crc, output);
  if (in.readError()) return Result::ReadError;
  if (result == Result::Damaged && header.endOffset() > file.size()) return Result::Truncated;
  if (result != Result::Ok) return result;
  if (header.hasCrc && crc.value() != header.crc) return Result::CrcMismatch;
  return Result::Ok;
}

}  // namespace rkarc
