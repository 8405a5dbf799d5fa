// Decodes the data records of one encoded file (or of one volume) into its
// bytes. Records arrive in text order; the decoder splits them into blocks,
// rebuilds lost rows, hands the file bytes on as each block completes, and
// checks the file CRC-16 that follows them in the stream.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archivers/ish32/IshBlock.h"
#include "archivers/ish32/IshCrc16.h"
#include "archivers/ish32/IshRecord.h"

namespace rkarc {

class IshStreamDecoder {
 public:
  enum class State { Running, Done, Failed };
  // Receives the file bytes in order; false stops the decoding (a write failed).
  using Output = std::function<bool(const uint8_t* data, size_t size)>;

  IshStreamDecoder(int recordLength, uint32_t fileBytes, Output output);

  // A data record with a valid CRC (number 1 or higher), in text order.
  State add(const IshRecord& record);
  // The text ended, or another file begins: whatever is still missing is lost.
  State finish();

  State state() const { return m_state; }
  // When Failed: a result code and the reason.
  int32_t errorCode() const { return m_errorCode; }
  const std::string& error() const { return m_error; }

 private:
  int dataRowsOf(uint64_t block) const;
  std::string BlockName() const;  // "2/5"
  // Rebuilds and hands out the block; false when it cannot be rebuilt.
  bool closeBlock();
  void failRebuild();
  void emit(const uint8_t* data, size_t size);
  void fail(int32_t code, std::string reason);

  int m_recordLength;
  uint32_t m_fileBytes;
  Output m_output;
  IshBlock m_block;
  uint64_t m_blocks;          // in the whole file
  uint64_t m_records;         // data records in the whole file
  uint64_t m_blockIndex = 0;  // the block being collected
  int m_previous = 0;         // number of the last record put into it
  bool m_closedByDiagonal = false;
  uint64_t m_streamPos = 0;   // bytes of the stream handed out so far
  IshCrc16 m_crc;
  uint16_t m_storedCrc = 0;
  State m_state = State::Running;
  int32_t m_errorCode = 0;
  std::string m_error;
};

}  // namespace rkarc
