// Deflate members through ISA-L; see ZipInflater.h.
#include "archivers/unzip32/ZipInflater.h"

#include <zlib.h>

#include <algorithm>
#include <string>

#include "archivers/common/Deflate64Decoder.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc::zip {
namespace {

constexpr uint16_t kDeflate = 8;
constexpr uint16_t kDeflate64 = 9;
constexpr uint16_t kEncryptedFlags = 0x0041;  // encrypted, strongly encrypted
constexpr size_t kBlock = 256 * 1024;

}  // namespace

ZipInflater::ZipInflater(const InputFile& file, Progress& progress) : m_file(file), m_progress(progress) {}

bool ZipInflater::Takes(const ZipRecord& record, uint64_t limit) {
  return (record.method == kDeflate || record.method == kDeflate64) && !record.encrypted &&
         !(record.flags & kEncryptedFlags) && record.packed > 0 && record.dataOffset > 0 &&
         record.dataOffset <= limit && record.packed <= limit - record.dataOffset;
}

bool ZipInflater::fail(MemberSink& sink, int32_t code, const char* what, bool fatal) {
  sink.abort(code, std::string(FailureText(code)) + "（" + what + "）");
  return !fatal;
}

bool ZipInflater::extract(const ZipRecord& record, MemberSink& sink) {
  if (record.method == kDeflate64) return extractDeflate64(record, sink);
  if (!m_state) {
    m_state = std::make_unique<inflate_state>();
    m_in.resize(kBlock);
    m_out.resize(kBlock);
  }
  inflate_state& s = *m_state;
  isal_inflate_reset(&s);
  s.crc_flag = ISAL_GZIP_NO_HDR;  // raw deflate; the CRC-32 of what comes out is kept in crc
  uint64_t at = record.dataOffset, left = record.packed, produced = 0;
  s.avail_in = 0;
  for (;;) {
    if (s.avail_in == 0 && left > 0) {
      const int64_t got = m_file.readAt(at, m_in.data(), static_cast<size_t>(std::min<uint64_t>(left, m_in.size())));
      if (got < 0) return fail(sink, kErrArchiveOpen, "読めません", true);
      if (got == 0) return fail(sink, kErrDamaged, "データが途中で切れています", true);
      at += static_cast<uint64_t>(got);
      left -= static_cast<uint64_t>(got);
      s.next_in = m_in.data();
      s.avail_in = static_cast<uint32_t>(got);
      m_progress.update(at, m_file.size());
    }
    s.next_out = m_out.data();
    s.avail_out = static_cast<uint32_t>(m_out.size());
    const int rc = isal_inflate(&s);
    const size_t made = m_out.size() - s.avail_out;
    if (made > 0 && !sink.write(m_out.data(), made)) return true;  // the writer has recorded why
    produced += made;
    if (rc != ISAL_DECOMP_OK) return fail(sink, kErrDamaged, "deflateデータが正しくありません", true);
    if (s.block_state == ISAL_BLOCK_FINISH) break;
    // zlib, given no more input, reports that it cannot go on.
    if (made == 0 && s.avail_in == 0 && left == 0) return fail(sink, kErrDamaged, "deflateデータが終わりません", true);
  }
  // ISA-L reads ahead into its bit buffer; the whole bytes there are unused.
  const uint64_t used = record.packed - left - s.avail_in - static_cast<uint64_t>(s.read_in_length / 8);
  return finishMember(record, sink, used, produced, s.crc);
}

bool ZipInflater::finishMember(const ZipRecord& record, MemberSink& sink, uint64_t used, uint64_t produced,
                               uint32_t crc) {
  if (used != record.packed) return fail(sink, kErrDamaged, "圧縮データの長さが中央ディレクトリと違います", false);
  if ((produced & 0xFFFFFFFF) != (record.size & 0xFFFFFFFF))
    return fail(sink, kErrDamaged, "展開したデータの長さが中央ディレクトリと違います", false);
  if (crc != record.crc) return fail(sink, kErrChecksum, "ZIP", false);
  sink.commit();
  return true;
}

// Deflate64 through our own decoder, with the same checks and outcomes.
bool ZipInflater::extractDeflate64(const ZipRecord& record, MemberSink& sink) {
  if (m_out.empty()) m_out.resize(kBlock);
  uint64_t at = record.dataOffset, left = record.packed, produced = 0;
  Deflate64Decoder decoder([&](uint8_t* buffer, size_t size) -> int64_t {
    const int64_t got = m_file.readAt(at, buffer, static_cast<size_t>(std::min<uint64_t>(left, size)));
    if (got > 0) {
      at += static_cast<uint64_t>(got);
      left -= static_cast<uint64_t>(got);
      m_progress.update(at, m_file.size());
    }
    return got;
  });
  uint32_t crc = 0;
  for (;;) {
    const int64_t made = decoder.read(m_out.data(), m_out.size());
    if (made == 0) break;
    if (made < 0 && decoder.status() == Deflate64Decoder::Status::ReadError)
      return fail(sink, kErrArchiveOpen, "読めません", true);
    if (made < 0 && decoder.status() == Deflate64Decoder::Status::Truncated)
      return fail(sink, kErrDamaged, left == 0 ? "deflate64データが終わりません" : "データが途中で切れています", true);
    if (made < 0) return fail(sink, kErrDamaged, "deflate64データが正しくありません", true);
    if (!sink.write(m_out.data(), static_cast<size_t>(made))) return true;  // the writer has recorded why
    crc = static_cast<uint32_t>(crc32(crc, m_out.data(), static_cast<uInt>(made)));
    produced += static_cast<uint64_t>(made);
  }
  return finishMember(record, sink, decoder.consumed(), produced, crc);
}

}  // namespace rkarc::zip
