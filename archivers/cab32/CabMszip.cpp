// MSZIP folders with zlib; see CabMszip.h.
#include "archivers/cab32/CabMszip.h"

#include "archivers/common/Bytes.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

constexpr size_t kFrameSize = 32768;  // decoded bytes of a block, at most
constexpr size_t kBlockHeader = 8;    // checksum, compressed and decoded size

// The cabinet checksum: 32-bit little-endian words XORed, the last one to
// three bytes taken most significant first.
uint32_t Checksum(const uint8_t* data, size_t size, uint32_t sum) {
  size_t i = 0;
  for (; i + 4 <= size; i += 4) sum ^= Le32(data + i);
  uint32_t tail = 0;
  for (; i < size; ++i) tail = tail << 8 | data[i];
  return sum ^ tail;
}

CabError Damaged() { return {kErrDamaged, "圧縮データが壊れています"}; }

}  // namespace

CabMszip::CabMszip(const ArchiveFile& file, const CabLocation& location, size_t folder, const Observer& observer)
    : m_file(file),
      m_location(location),
      m_folder(location.header.folders[folder]),
      m_observer(observer),
      m_blockAt(m_folder.dataOffset),
      m_out(kFrameSize) {}

CabMszip::~CabMszip() {
  if (m_zipReady) inflateEnd(&m_zip);
}

CabError CabMszip::read(uint64_t from, uint64_t size, const CabReader::Output& output) {
  while (size > 0) {
    if (from >= m_outStart + m_outSize) {
      if (CabError why = nextBlock()) return why;
      continue;
    }
    const auto at = static_cast<size_t>(from - m_outStart);
    const auto n = static_cast<size_t>(std::min<uint64_t>(size, m_outSize - at));
    if (!output(m_out.data() + at, n)) return {kErrWrite, "書き込みに失敗しました"};
    from += n;
    size -= n;
  }
  return {};
}

CabError CabMszip::nextBlock() {
  m_outStart += m_outSize;
  m_outSize = 0;
  if (m_blocksRead == m_folder.blockCount) return Damaged();  // the folder ends before its members do
  const size_t reserve = m_location.header.dataReserve;
  uint8_t header[kBlockHeader];
  const auto pastEnd = [&](uint64_t end) -> CabError {
    if (end <= m_location.present) return {};
    if (m_location.cutShort) return {kErrDamaged, "CAB が途中で切れています"};
    return {kErrDamaged, "データブロックが CAB の終わりを越えています"};
  };
  const auto readExact = [&](uint64_t at, void* into, size_t n) -> CabError {
    if (CabError why = pastEnd(at + n)) return why;
    const int64_t got = m_file.readAt(m_location.offset + at, into, n);
    if (got < 0) return {kErrArchiveOpen, m_file.error()};
    if (static_cast<size_t>(got) < n) return pastEnd(m_location.present + 1);  // the file shrank
    return {};
  };
  if (CabError why = readExact(m_blockAt, header, kBlockHeader)) return why;
  const uint16_t packed = Le16(header + 4);
  const uint16_t unpacked = Le16(header + 6);
  m_in.resize(packed);
  if (CabError why = readExact(m_blockAt + kBlockHeader + reserve, m_in.data(), packed)) return why;
  m_blockAt += kBlockHeader + reserve + packed;
  ++m_blocksRead;
  if (m_observer) m_observer(m_location.offset + m_blockAt);
  if (const uint32_t sum = Le32(header); sum != 0 && Checksum(header + 4, 4, Checksum(m_in.data(), packed, 0)) != sum)
    return {kErrChecksum, "データブロックのチェックサムが合いません"};
  if (unpacked == 0 || unpacked > kFrameSize || packed < 2 || m_in[0] != 'C' || m_in[1] != 'K') return Damaged();

  // The deflate stream of each block goes on from the window of the one before.
  if (!m_zipReady) {
    if (inflateInit2(&m_zip, -MAX_WBITS) != Z_OK) return {kErrMemory, "メモリが足りません"};
    m_zipReady = true;
  } else if (inflateResetKeep(&m_zip) != Z_OK) {
    return Damaged();
  }
  m_zip.next_in = m_in.data() + 2;
  m_zip.avail_in = packed - 2u;
  m_zip.next_out = m_out.data();
  m_zip.avail_out = static_cast<uInt>(m_out.size());
  // Not Z_FINISH: zlib then skips keeping the window for the next block.
  const int rc = inflate(&m_zip, Z_NO_FLUSH);
  m_outSize = m_out.size() - m_zip.avail_out;
  if (rc != Z_STREAM_END || m_outSize != unpacked) return Damaged();
  return {};
}

}  // namespace rkarc
