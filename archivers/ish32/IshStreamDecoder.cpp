// Records -> blocks -> stream. The stream is the file bytes, their CRC-16
// (big-endian) and zero padding to the end of the last record.
#include "archivers/ish32/IshStreamDecoder.h"

#include <algorithm>

#include "archivers/common/ResultCodes.h"

namespace rkarc {

IshStreamDecoder::IshStreamDecoder(int recordLength, uint32_t fileBytes, Output output)
    : m_recordLength(recordLength),
      m_fileBytes(fileBytes),
      m_output(std::move(output)),
      m_block(recordLength) {
  // A record carries R-3 payload bytes, and a full block R-3 (= L-1) data records.
  const uint64_t perRecord = static_cast<uint64_t>(recordLength - 3);
  m_records = (uint64_t{fileBytes} + 2 + perRecord - 1) / perRecord;
  m_blocks = (m_records + perRecord - 1) / perRecord;
  m_block.reset(dataRowsOf(0));
}

std::string IshStreamDecoder::BlockName() const {
  return std::to_string(m_blockIndex + 1) + "/" + std::to_string(m_blocks);
}

int IshStreamDecoder::dataRowsOf(uint64_t block) const {
  const uint64_t perBlock = static_cast<uint64_t>(m_recordLength - 3);
  return static_cast<int>(std::min(perBlock, m_records - block * perBlock));
}

IshStreamDecoder::State IshStreamDecoder::add(const IshRecord& record) {
  if (m_state != State::Running) return m_state;
  const int number = record.number();
  const int vertical = m_recordLength - 2;
  const int diagonal = m_recordLength;
  if (number < 1 || (number > vertical && number != diagonal)) return m_state;
  // A repeated diagonal line must not close the next, still empty block.
  if (m_closedByDiagonal && number == diagonal) return m_state;
  m_closedByDiagonal = false;
  // A lower number than the last one starts the next block: this block's
  // diagonal record was lost.
  if (m_previous != 0 && number < m_previous) {
    if (!closeBlock()) failRebuild();
    if (m_state != State::Running) return m_state;
  }
  m_block.put(record);
  m_previous = number;
  if (number == diagonal) {
    if (!closeBlock()) failRebuild();
    m_closedByDiagonal = true;
  }
  return m_state;
}

IshStreamDecoder::State IshStreamDecoder::finish() {
  if (m_state != State::Running) return m_state;
  const bool closed = m_previous == 0 || closeBlock();
  if (m_state == State::Running || !closed)
    fail(kErrDamaged, "テキストが途中で終わっています（ブロック " + BlockName() + " が不完全です）");
  return m_state;
}

void IshStreamDecoder::failRebuild() {
  fail(kErrDamaged, "ブロック " + BlockName() + " は " + std::to_string(m_block.lostRows()) + " 行が欠けていて復元できません");
}

bool IshStreamDecoder::closeBlock() {
  if (!m_block.rebuild()) return false;
  for (int row = 1; row <= m_block.dataRows() && m_state == State::Running; ++row)
    emit(m_block.payload(row), static_cast<size_t>(m_block.payloadSize()));
  if (m_state != State::Running) return true;
  m_previous = 0;
  if (++m_blockIndex < m_blocks) {
    m_block.reset(dataRowsOf(m_blockIndex));
    return true;
  }
  if (m_crc.value() != m_storedCrc) fail(kErrChecksum, "ファイルの CRC が一致しません");
  else m_state = State::Done;
  return true;
}

void IshStreamDecoder::emit(const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size;) {
    if (m_streamPos < m_fileBytes) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(size - i, m_fileBytes - m_streamPos));
      m_crc.update(data + i, n);
      if (!m_output(data + i, n)) {
        fail(kErrWrite, "書き込めません");
        return;
      }
      i += n;
      m_streamPos += n;
    } else if (m_streamPos < uint64_t{m_fileBytes} + 2) {
      // The CRC may straddle two records.
      m_storedCrc = static_cast<uint16_t>(m_storedCrc << 8 | data[i]);
      ++i;
      ++m_streamPos;
    } else {
      return;  // padding
    }
  }
}

void IshStreamDecoder::fail(int32_t code, std::string reason) {
  m_state = State::Failed;
  m_errorCode = code;
  m_error = std::move(reason);
}

}  // namespace rkarc
