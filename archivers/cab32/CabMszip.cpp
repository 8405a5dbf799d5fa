// MSZIP folders with ISA-L's inflate; see CabMszip.h.
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

CabMszip::~CabMszip() = default;

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
  const size_t previous = m_outSize;
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

  // The deflate stream of each block goes on from the window of the one
  // before: the previous block's output (at most 32 KB, all of it) is the
  // dictionary, taken in before m_out is written again.
  if (!m_state) m_state = std::make_unique<inflate_state>();
  inflate_state& s = *m_state;
  isal_inflate_reset(&s);
  s.crc_flag = ISAL_DEFLATE;
  if (previous > 0 && isal_inflate_set_dict(&s, m_out.data(), static_cast<uint32_t>(previous)) != COMP_OK)
    return Damaged();
  s.next_in = m_in.data() + 2;
  s.avail_in = packed - 2u;
  s.next_out = m_out.data();
  s.avail_out = static_cast<uint32_t>(m_out.size());
  const int rc = isal_inflate(&s);
  m_outSize = m_out.size() - s.avail_out;
  if (rc != ISAL_DECOMP_OK || s.block_state != ISAL_BLOCK_FINISH || m_outSize != unpacked) return Damaged();
  return {};
}

}  // namespace rkarc
