// The adaptive Huffman codes of -lh2- (docs/formats/LZH.md): a literal/length
// code of 286 symbols and a position code that grows by one symbol per 64
// bytes decoded, both updated after every symbol. Decoder and encoder must
// change their trees in exactly the same way, so the update follows the
// format's own scheme: nodes kept in order of frequency, grouped in blocks of
// equal frequency whose first node (the leader) an incremented node swaps
// with, and every frequency halved when the root reaches 0x8000.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace rkarc {

class AdaptiveHuffman {
 public:
  // Reads the next bit of the data.
  using NextBit = std::function<int()>;

  AdaptiveHuffman();

  // The next literal/length symbol (0-285; 285 is followed by 8 more bits,
  // which the caller reads), or -1 when the trees are no longer consistent.
  int decodeSymbol(const NextBit& bit);
  // The upper 7 bits of the next position, `decoded` being the number of
  // bytes decoded so far, or -1 when the trees are no longer consistent.
  int decodePosition(const NextBit& bit, uint64_t decoded);

 private:
  static constexpr int kSymbols = 286;
  static constexpr int kCharNodes = 628;  // room for the literal/length tree
  static constexpr int kNodes = kCharNodes + 256;
  static constexpr int kRootC = 0;
  static constexpr int kRootP = kCharNodes;
  static constexpr int kPositionLeaf = 314;  // leaf numbers of position symbols start here
  static constexpr uint64_t kWindow = 8192;

  int walk(int root, const NextBit& bit) const;
  bool incrementFrom(int node, int root);
  int swapIncrement(int p);
  bool newBlock(int p);
  bool rebuild(int start, int end);
  bool updateSymbol(int symbol);
  bool updatePosition(int position);
  bool addPosition(int position);

  std::array<uint16_t, kNodes + 1> m_freq{};
  std::array<int, kNodes + 1> m_child{};   // >= 0: the children are child and child - 1; < 0: ~leaf
  std::array<int, kNodes + 1> m_parent{};
  std::array<int, kNodes + 1> m_block{};   // the block a node belongs to
  std::array<int, kNodes + 1> m_edge{};    // a block's leader
  std::array<int, kNodes + 1> m_stock{};   // free block numbers from m_avail on
  std::array<int, kNodes / 2> m_leaf{};    // where each leaf is
  int m_avail = 0;
  int m_lastPosition = kRootP;  // the last node of the position tree
  uint32_t m_positionTotal = 0;
  uint64_t m_nextGrowth = 64;
  bool m_broken = false;
};

}  // namespace rkarc
