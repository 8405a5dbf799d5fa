// The adaptive Huffman trees of -lh2-; see AdaptiveHuffman.h. Every index is
// checked: damaged data can only give wrong symbols (the CRC-16 then fails),
// never a read or write outside the tables.
#include "archivers/unlha32/AdaptiveHuffman.h"

namespace rkarc {

AdaptiveHuffman::AdaptiveHuffman() {
  for (int i = 0; i <= kNodes; ++i) m_stock[i] = i;
  // The literal/length tree: the leaves (frequency 1) at the end, in block 1,
  // each pair of nodes joined by a parent in front of them.
  int j = 2 * kSymbols - 2;
  for (int i = 0; i < kSymbols; ++i, --j) {
    m_freq[j] = 1;
    m_child[j] = ~i;
    m_leaf[i] = j;
    m_block[j] = 1;
  }
  m_avail = 2;
  m_edge[1] = kSymbols - 1;
  for (int i = 2 * kSymbols - 2; j >= 0; i -= 2, --j) {
    m_freq[j] = static_cast<uint16_t>(m_freq[i] + m_freq[i - 1]);
    m_child[j] = i;
    m_parent[i] = m_parent[i - 1] = j;
    if (m_freq[j] == m_freq[j + 1]) {
      m_block[j] = m_block[j + 1];
    } else {
      m_block[j] = m_stock[m_avail++];
    }
    m_edge[m_block[j]] = j;
  }
  // The position tree starts as one leaf, position 0, at its root.
  m_freq[kRootP] = 1;
  m_child[kRootP] = ~kPositionLeaf;
  m_leaf[kPositionLeaf] = kRootP;
  m_block[kRootP] = m_stock[m_avail++];
  m_edge[m_block[kRootP]] = kRootP;
}

int AdaptiveHuffman::walk(int root, const NextBit& bit) const {
  int c = m_child[root];
  for (int depth = 0; c > 0; ++depth) {
    if (depth > kNodes || c > kNodes) return -1;
    c = m_child[c - bit()];
  }
  return ~c;
}

int AdaptiveHuffman::decodeSymbol(const NextBit& bit) {
  const int symbol = walk(kRootC, bit);
  if (m_broken || symbol < 0 || symbol >= kSymbols || !updateSymbol(symbol)) return -1;
  return symbol;
}

int AdaptiveHuffman::decodePosition(const NextBit& bit, uint64_t decoded) {
  while (decoded > m_nextGrowth) {
    if (!addPosition(static_cast<int>(m_nextGrowth / 64))) return -1;
    m_nextGrowth += 64;
    if (m_nextGrowth >= kWindow) m_nextGrowth = UINT64_MAX;
  }
  const int position = walk(kRootP, bit) - kPositionLeaf;
  if (m_broken || position < 0 || position >= 128 || !updatePosition(position)) return -1;
  return position;
}

bool AdaptiveHuffman::updateSymbol(int symbol) {
  if (m_freq[kRootC] == 0x8000 && !rebuild(kRootC, 2 * kSymbols - 1)) return false;
  ++m_freq[kRootC];
  return incrementFrom(m_leaf[symbol], kRootC);
}

bool AdaptiveHuffman::updatePosition(int position) {
  if (m_positionTotal == 0x8000) {
    if (!rebuild(kRootP, m_lastPosition + 1)) return false;
    m_positionTotal = m_freq[kRootP];
    m_freq[kRootP] = 0xFFFF;  // the root joins no block
  }
  if (!incrementFrom(m_leaf[position + kPositionLeaf], kRootP)) return false;
  ++m_positionTotal;
  return true;
}

// Increments every node from `node` up to (not including) `root`.
bool AdaptiveHuffman::incrementFrom(int node, int root) {
  for (int steps = 0; node != root; ++steps) {
    if (steps > kNodes || node <= 0 || node >= kNodes) return !(m_broken = true);
    node = swapIncrement(node);
  }
  return !m_broken;
}

// A node whose frequency no longer equals its left neighbour's starts a block.
bool AdaptiveHuffman::newBlock(int p) {
  if (m_freq[p] == m_freq[p - 1]) {
    m_block[p] = m_block[p - 1];
    return true;
  }
  if (m_avail > kNodes) return !(m_broken = true);
  m_block[p] = m_stock[m_avail++];
  m_edge[m_block[p]] = p;
  return true;
}

// Moves node p to the front of its block (swapping subtrees with the leader)
// and increments it; returns its parent.
int AdaptiveHuffman::swapIncrement(int p) {
  const int b = m_block[p];
  const int q = m_edge[b];
  if (q != p) {
    if (q <= 0 || q >= kNodes) {
      m_broken = true;
      return 0;
    }
    const int r = m_child[p], s = m_child[q];
    m_child[p] = s;
    m_child[q] = r;
    if (r >= 0) {
      m_parent[r] = m_parent[r - 1] = q;
    } else {
      m_leaf[~r] = q;
    }
    if (s >= 0) {
      m_parent[s] = m_parent[s - 1] = p;
    } else {
      m_leaf[~s] = p;
    }
    p = q;
    ++m_edge[b];
    ++m_freq[p];
    newBlock(p);
  } else if (b == m_block[p + 1]) {
    ++m_edge[b];
    ++m_freq[p];
    newBlock(p);
  } else if (++m_freq[p] == m_freq[p - 1]) {
    if (m_avail <= 0) {
      m_broken = true;
      return 0;
    }
    m_stock[--m_avail] = b;  // the block had p alone
    m_block[p] = m_block[p - 1];
  }
  return m_parent[p];
}

// Halves every leaf's frequency (rounding up) and rebuilds the tree of the
// nodes [start, end) from its leaves, in order of frequency.
bool AdaptiveHuffman::rebuild(int start, int end) {
  int b = 0, j = start;
  for (int i = start; i < end; ++i) {
    if (m_child[i] < 0) {
      m_freq[j] = static_cast<uint16_t>((m_freq[i] + 1) / 2);
      m_child[j] = m_child[i];
      ++j;
    }
    if (m_edge[b = m_block[i]] == i) {
      if (m_avail <= 0) return !(m_broken = true);
      m_stock[--m_avail] = b;
    }
  }
  --j;
  for (int i = end - 1, l = end - 2; i >= start; --i, l -= 2) {
    for (; i >= l; --i, --j) {
      m_freq[i] = m_freq[j];
      m_child[i] = m_child[j];
    }
    const uint32_t f = uint32_t{m_freq[l]} + m_freq[l + 1];
    int k = start;
    while (k < end && f < m_freq[k]) ++k;
    for (; j >= k; --i, --j) {
      m_freq[i] = m_freq[j];
      m_child[i] = m_child[j];
    }
    if (i < start) return !(m_broken = true);
    m_freq[i] = static_cast<uint16_t>(f);
    m_child[i] = l + 1;
  }
  uint32_t f = 0;
  for (int i = start; i < end; ++i) {
    if (const int c = m_child[i]; c < 0) {
      m_leaf[~c] = i;
    } else {
      m_parent[c] = m_parent[c - 1] = i;
    }
    if (m_freq[i] == f) {
      m_block[i] = b;
    } else {
      if (m_avail > kNodes) return !(m_broken = true);
      b = m_block[i] = m_stock[m_avail++];
      m_edge[b] = i;
      f = m_freq[i];
    }
  }
  return true;
}

// Every 64 bytes decoded, up to the window's size, the position tree gets the
// next position: the last leaf splits into itself and the new one.
bool AdaptiveHuffman::addPosition(int position) {
  const int last = m_lastPosition, r = last + 1, q = r + 1;
  if (q >= kNodes || m_child[last] >= 0 || m_avail > kNodes) return !(m_broken = true);
  m_child[r] = m_child[last];
  m_leaf[~m_child[r]] = r;
  m_child[q] = ~(position + kPositionLeaf);
  m_child[last] = q;
  m_freq[r] = m_freq[last];
  m_freq[q] = 0;
  m_block[r] = m_block[last];
  if (last == kRootP) {
    m_freq[kRootP] = 0xFFFF;
    ++m_edge[m_block[kRootP]];
  }
  m_parent[r] = m_parent[q] = last;
  m_lastPosition = q;
  m_leaf[position + kPositionLeaf] = q;
  m_block[q] = m_stock[m_avail++];
  m_edge[m_block[q]] = q;
  return updatePosition(position);
}

}  // namespace rkarc
