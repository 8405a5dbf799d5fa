// Rebuilding lost lines of an ISH block: every pair of lost rows (data or
// vertical) of full and short blocks of each record length, built the way the
// encoder computes its check records.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "archivers/ish32/IshBlock.h"

namespace {

using rkarc::IshBlock;
using rkarc::IshRecord;

// A block as the encoder writes it: rows 1..L (L is the vertical sum, rows
// after the data rows are virtual) and the diagonal record.
struct EncodedBlock {
  int length;  // L
  int dataRows;
  std::vector<std::vector<uint8_t>> rows;  // [row][column], row 0 unused
  IshRecord diagonal;

  EncodedBlock(int recordLength, int k, unsigned seed) : length(recordLength - 2), dataRows(k) {
    std::mt19937 random(seed);
    rows.assign(static_cast<size_t>(length + 1), std::vector<uint8_t>(static_cast<size_t>(length)));
    for (int r = 1; r <= length; ++r) rows[r][0] = static_cast<uint8_t>(r);
    for (int r = 1; r <= k; ++r)
      for (int c = 1; c < length; ++c) rows[r][c] = static_cast<uint8_t>(random());
    for (int c = 1; c < length; ++c) {
      uint8_t sum = 0;
      for (int r = 1; r < length; ++r) sum = static_cast<uint8_t>(sum + rows[r][c]);
      rows[length][c] = static_cast<uint8_t>(-sum);
    }
    diagonal.length = recordLength;
    diagonal.bytes[0] = static_cast<uint8_t>(recordLength);
    for (int d = 1; d < length; ++d) {
      uint8_t sum = 0;
      for (int r = 1; r <= length; ++r) sum = static_cast<uint8_t>(sum + rows[r][(d + r - 2) % length]);
      diagonal.bytes[d] = static_cast<uint8_t>(-sum);
    }
  }

  IshRecord record(int row) const {
    IshRecord out;
    out.length = length + 2;
    std::copy(rows[row].begin(), rows[row].end(), out.bytes.begin());
    return out;
  }

  // Feeds every row but the lost ones (and the diagonal when asked) to a block.
  IshBlock feed(const std::vector<int>& lost, bool withDiagonal) const {
    IshBlock block(length + 2);
    block.reset(dataRows);
    for (int r = 1; r <= length; ++r) {
      const bool real = r <= dataRows || r == length;
      if (real && std::find(lost.begin(), lost.end(), r) == lost.end()) block.put(record(r));
    }
    if (withDiagonal) block.put(diagonal);
    return block;
  }

  // Empty when the block's data rows are those encoded, else the first wrong row.
  std::string mismatch(const IshBlock& block) const {
    for (int r = 1; r <= dataRows; ++r)
      if (!std::equal(rows[r].begin() + 1, rows[r].end(), block.payload(r))) return "row " + std::to_string(r);
    return {};
  }
};

struct Shape {
  const char* name;
  int recordLength;
  int dataRows;
};

class IshBlockRebuild : public testing::TestWithParam<Shape> {};

TEST_P(IshBlockRebuild, EveryPairOfLostRowsIsRebuilt) {
  const Shape shape = GetParam();
  const EncodedBlock encoded(shape.recordLength, shape.dataRows, 7);
  std::vector<int> real;
  for (int r = 1; r <= shape.dataRows; ++r) real.push_back(r);
  real.push_back(encoded.length);
  for (size_t i = 0; i < real.size(); ++i) {
    for (size_t j = i + 1; j < real.size(); ++j) {
      IshBlock block = encoded.feed({real[i], real[j]}, true);
      ASSERT_EQ(block.lostRows(), 2);
      ASSERT_TRUE(block.rebuild()) << real[i] << "," << real[j];
      ASSERT_EQ(encoded.mismatch(block), "") << "lost rows " << real[i] << " and " << real[j];
    }
  }
}

TEST_P(IshBlockRebuild, OneLostRowNeedsNoDiagonal) {
  const Shape shape = GetParam();
  const EncodedBlock encoded(shape.recordLength, shape.dataRows, 11);
  for (int lost = 1; lost <= shape.dataRows; ++lost) {
    IshBlock block = encoded.feed({lost}, false);
    ASSERT_TRUE(block.rebuild());
    ASSERT_EQ(encoded.mismatch(block), "") << "lost row " << lost;
  }
}

TEST_P(IshBlockRebuild, ThreeLostRowsOrTwoWithoutDiagonalFail) {
  const Shape shape = GetParam();
  const EncodedBlock encoded(shape.recordLength, shape.dataRows, 13);
  EXPECT_FALSE(encoded.feed({1, encoded.length}, false).rebuild());
  if (shape.dataRows >= 3) {
    EXPECT_FALSE(encoded.feed({1, 2, 3}, true).rebuild());
  }
  EXPECT_TRUE(encoded.feed({}, false).rebuild());
}

INSTANTIATE_TEST_SUITE_P(Shapes, IshBlockRebuild,
                         testing::Values(Shape{"jis7_full", 63, 60}, Shape{"jis7_short", 63, 5},
                                         Shape{"jis8_full", 69, 66}, Shape{"jis8_one_row", 69, 1},
                                         Shape{"sjis_full", 73, 70}, Shape{"sjis_short", 73, 44}),
                         [](const testing::TestParamInfo<Shape>& info) { return info.param.name; });

// A record of a later block must not be taken for a row of a short last
// block: rows after the data rows are virtual and keep their fixed contents.
TEST(IshBlock, RecordsBeyondTheDataRowsOfAShortBlockAreIgnored) {
  const EncodedBlock encoded(63, 4, 17);
  IshBlock block = encoded.feed({2}, false);
  IshRecord stray = encoded.record(1);
  stray.bytes[0] = 9;
  stray.bytes[5] = 0x55;
  block.put(stray);
  ASSERT_TRUE(block.rebuild());
  EXPECT_EQ(encoded.mismatch(block), "");
}

}  // namespace
