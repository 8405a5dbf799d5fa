// LZH extraction loop; see LzhExtractor.h.
#include "archivers/unlha32/LzhExtractor.h"

#include "archivers/unlha32/LzhDecoder.h"
#include "archivers/unlha32/LzhMember.h"
#include "archivers/unlha32/LzhReader.h"

namespace rkarc {

int32_t LzhExtractor::run(const ProgressFn& progress) {
  ArchiveFile file;
  if (!file.open(m_request.archive)) {
    m_report.fail(file.error());
    return kErrArchiveOpen;
  }
  if (const int32_t rc = ReportParts(file.parts(), m_report)) return rc;
  LzhReader reader(file);
  if (!reader.open()) {
    m_report.fail("LZH 書庫が見つかりません");
    return kErrNotArchive;
  }
  if (reader.location().stubsOwn) {
    m_report.fail("自己解凍ファイルの実行部分にある書庫しか見つかりません");
    return kErrNotArchive;
  }
  SafeWriter writer(m_request.output, m_request.writerOptions, m_report);
  if (!writer.ready()) return writer.result();
  const auto& where = reader.location();
  if (where.stub != ExecutableImage::Kind::None)
    m_report.add(std::string(ExecutableImage::KindName(where.stub)) + " の実行ファイルの後ろ（" +
                 std::to_string(where.offset) + " バイト目）に書庫があります");
  else if (where.offset > 0)
    m_report.add(std::to_string(where.offset) + " バイト目から書庫が始まります");

  while (!writer.stopped()) {
    const LzhReader::Entry entry = reader.next();
    if (entry.kind == LzhReader::Entry::Kind::End) break;
    if (entry.kind == LzhReader::Entry::Kind::Damage)
      writer.failArchive(entry.code, entry.reason);
    else
      extract(file, entry.header, writer, progress);
    if (progress) progress(reader.position(), file.size());
  }
  if (reader.trailingBytes() > 0) {
    m_report.add("最後のファイルの後ろの " + std::to_string(reader.trailingBytes()) + " バイトを無視しました");
    m_report.keep("書庫の後ろに余分なデータがあります");  // what it was cannot be known
  }
  m_request.members.reportUnmatched(writer);
  if (progress) progress(file.size(), file.size());
  return writer.result();
}

void LzhExtractor::extract(const ArchiveFile& file, const LzhHeader& header, SafeWriter& writer,
                           const ProgressFn& progress) {
  Member member;
  std::string reason;
  const bool described = LzhMember::Make(header, member, reason);
  if (!m_request.members.wants(member.name, member.charset)) return;
  if (!described) {
    writer.fail(member, kErrDamaged, reason);
    return;
  }
  if (header.compressedSize > file.size() || header.endOffset() > file.size()) {
    writer.fail(member, kErrDamaged, "データの途中で書庫が終わっています");
    return;
  }
  if (member.type != MemberType::File) {
    writer.begin(member);  // folders and links are made whole by the writer
    return;
  }
  if (!LzhDecoder::Supports(header.method)) {
    writer.fail(member, kErrUnsupported, "対応していない圧縮方式です（" + header.method + "）");
    return;
  }
  decodeInto(file, header, member, writer, progress);
}

void LzhExtractor::decodeInto(const ArchiveFile& file, const LzhHeader& header, const Member& member,
                              SafeWriter& writer, const ProgressFn& progress) {
  std::unique_ptr<MemberSink> sink = writer.begin(member);
  if (!sink) return;  // kept existing file, refused name, or the run stopped
  const auto result = LzhDecoder::Decode(
      file, header, [&](const uint8_t* data, size_t size) { return sink->write(data, size); },
      [&](uint64_t offset) {
        if (progress) progress(offset, file.size());
      });
  switch (result) {
    case LzhDecoder::Result::Ok:
      sink->commit();
      break;
    case LzhDecoder::Result::OutputFailed:
      break;  // the writer has recorded why; dropping the sink discards the data
    case LzhDecoder::Result::Truncated:
      sink->abort(kErrDamaged, "データの途中で書庫が終わっています");
      break;
    case LzhDecoder::Result::Damaged:
      sink->abort(kErrDamaged, "データが壊れています（" + header.method + "）");
      break;
    case LzhDecoder::Result::CrcMismatch:
      sink->abort(kErrChecksum, "CRC が一致しません");
      break;
    case LzhDecoder::Result::ReadError:
      sink->abort(kErrArchiveOpen, "書庫を読めません");
      break;
  }
}

}  // namespace rkarc
