// One block of an encoded file: up to L-1 data records, the vertical-sum
// record (number L) and the diagonal-sum record (number L+2), seen as an L×L
// byte matrix. Rebuilds up to two lost rows from the two check records.
#pragma once

#include <cstdint>
#include <vector>

#include "archivers/ish32/IshRecord.h"

namespace rkarc {

class IshBlock {
 public:
  // recordLength R: 63, 69 or 73; the matrix is L = R-2 square.
  explicit IshBlock(int recordLength);

  // Empties the block for one holding `dataRows` data records (1..L-1).
  // The rows after them are virtual: their number and zeros, as the encoder
  // counted them in the check sums of a short last block.
  void reset(int dataRows);

  // Stores a record by its number; a later record of the same number
  // replaces the earlier one. Numbers without a place here are ignored.
  void put(const IshRecord& record);

  // Fills in lost rows; false when more than two are lost, or two without the
  // diagonal record. A rebuilt row has no CRC: the file CRC judges it.
  bool rebuild();
  int lostRows() const;

  int dataRows() const { return m_dataRows; }
  int payloadSize() const { return m_size - 1; }
  // Bytes 1..L-1 of data row `row` (1-based).
  const uint8_t* payload(int row) const { return &m_cells[cell(row, 1)]; }

 private:
  size_t cell(int row, int column) const { return static_cast<size_t>(row) * m_size + column; }
  uint8_t& at(int row, int column) { return m_cells[cell(row, column)]; }
  bool isKnownRow(int row) const;
  int diagonalOf(int row, int column) const;
  int columnOf(int row, int diagonal) const;
  void rebuildOne(int row);
  void rebuildTwo(int first, int second);

  int m_size;      // L
  int m_dataRows;  // k
  std::vector<uint8_t> m_cells;     // rows 0..L (row 0 unused) × columns 0..L-1
  std::vector<bool> m_present;      // per row
  std::vector<uint8_t> m_diagonal;  // check value per diagonal 1..L
  bool m_haveDiagonal = false;
};

}  // namespace rkarc
