// Block matrix and the rebuilding of lost rows. All sums are modulo 256:
// every column 1..L-1 of the matrix sums to 0, and every diagonal plus its
// check value sums to 0.
#include "archivers/ish32/IshBlock.h"

#include <algorithm>

namespace rkarc {

IshBlock::IshBlock(int recordLength)
    : m_size(recordLength - 2),
      m_dataRows(m_size - 1),
      m_cells(static_cast<size_t>(m_size + 1) * m_size),
      m_present(static_cast<size_t>(m_size + 1)),
      m_diagonal(static_cast<size_t>(m_size + 1)) {
  reset(m_dataRows);
}

void IshBlock::reset(int dataRows) {
  m_dataRows = std::clamp(dataRows, 1, m_size - 1);
  std::fill(m_cells.begin(), m_cells.end(), 0);
  std::fill(m_present.begin(), m_present.end(), false);
  std::fill(m_diagonal.begin(), m_diagonal.end(), 0);
  m_haveDiagonal = false;
  for (int row = 1; row <= m_size; ++row) at(row, 0) = static_cast<uint8_t>(row);
}

void IshBlock::put(const IshRecord& record) {
  const int number = record.number();
  if (number == m_size + 2) {
    std::copy(record.bytes.begin() + 1, record.bytes.begin() + m_size, m_diagonal.begin() + 1);
    m_haveDiagonal = true;
    return;
  }
  if (number < 1 || (number > m_dataRows && number != m_size)) return;
  std::copy(record.bytes.begin(), record.bytes.begin() + m_size, m_cells.begin() + cell(number, 0));
  m_present[number] = true;
}

bool IshBlock::isKnownRow(int row) const { return row > m_dataRows && row < m_size ? true : m_present[row]; }

int IshBlock::lostRows() const {
  int lost = 0;
  for (int row = 1; row <= m_size; ++row) lost += isKnownRow(row) ? 0 : 1;
  return lost;
}

int IshBlock::diagonalOf(int row, int column) const {
  return ((column - row + 1) % m_size + m_size) % m_size + 1;
}

int IshBlock::columnOf(int row, int diagonal) const { return (diagonal + row - 2) % m_size; }

bool IshBlock::rebuild() {
  std::vector<int> lost;
  for (int row = 1; row <= m_size; ++row)
    if (!isKnownRow(row)) lost.push_back(row);
  if (lost.empty()) return true;
  if (lost.size() == 1) {
    if (lost[0] != m_size) rebuildOne(lost[0]);  // a lost vertical row is not needed
    return true;
  }
  if (lost.size() > 2 || !m_haveDiagonal) return false;
  rebuildTwo(lost[0], lost[1]);
  return true;
}

void IshBlock::rebuildOne(int row) {
  for (int column = 1; column < m_size; ++column) {
    uint8_t sum = 0;
    for (int other = 1; other <= m_size; ++other)
      if (other != row) sum = static_cast<uint8_t>(sum + at(other, column));
    at(row, column) = static_cast<uint8_t>(-sum);
  }
}

// Walks the two lost rows in step: a known cell of the first row lies on the
// same diagonal as one unknown cell of the second, which that diagonal then
// gives; the column sum then gives the first row's cell in that column. As L
// is prime, stepping by the rows' distance visits every column.
void IshBlock::rebuildTwo(int first, int second) {
  // The diagonal check value not stored: the whole matrix sums to 1+2+...+L.
  uint8_t stored = 0;
  for (int d = 1; d < m_size; ++d) stored = static_cast<uint8_t>(stored + m_diagonal[d]);
  m_diagonal[m_size] = static_cast<uint8_t>(-(m_size * (m_size + 1) / 2) - stored);

  const int step = ((second - first) % m_size + m_size) % m_size;
  int column = 0;
  for (int i = 1; i < m_size; ++i) {
    const int next = (column + step) % m_size;
    const int diagonal = diagonalOf(first, column);
    uint8_t sum = m_diagonal[diagonal];
    for (int row = 1; row <= m_size; ++row)
      if (row != second) sum = static_cast<uint8_t>(sum + at(row, columnOf(row, diagonal)));
    at(second, next) = static_cast<uint8_t>(-sum);
    sum = 0;
    for (int row = 1; row <= m_size; ++row)
      if (row != first) sum = static_cast<uint8_t>(sum + at(row, next));
    at(first, next) = static_cast<uint8_t>(-sum);
    column = next;
  }
}

}  // namespace rkarc
