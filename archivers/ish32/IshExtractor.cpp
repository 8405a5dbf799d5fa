// The safe writer side of an ISH decoding run.
#include "archivers/ish32/IshExtractor.h"

namespace rkarc {
namespace {

// The stored name is an 8.3 name from MS-DOS or Windows: CP932.
Member MemberOf(const IshHeader& header, std::string name) {
  Member member;
  member.name = std::move(name);
  member.charset = NameCharset::Cp932;
  member.type = MemberType::File;
  member.size = header.size();
  member.mtime = header.mtime();
  return member;
}

std::string Printable(std::string_view cp932Name) { return SafeWriter::PrintableName(cp932Name, NameCharset::Cp932); }

}  // namespace

IshExtractor::IshExtractor(SafeWriter& writer, Report& report, MemberMatcher& members)
    : m_writer(writer), m_report(report), m_members(members) {}

bool IshExtractor::wanted(const IshHeader& header) {
  return m_members.wants(header.safeName(), NameCharset::Cp932);
}

bool IshExtractor::begin(const IshHeader& header) {
  m_sink.reset();
  if (!wanted(header)) return false;
  const std::string stored = header.storedName();
  const std::string safe = header.safeName();
  if (safe.empty()) {
    m_writer.fail(MemberOf(header, stored), kErrUnsafeName, "ファイル名として使えない名前です");
    return false;
  }
  if (safe != stored) m_report.add(Printable(stored) + ": " + Printable(safe) + " という名前で書き込みます");
  m_sink = m_writer.begin(MemberOf(header, safe));
  return m_sink != nullptr;
}

bool IshExtractor::write(const uint8_t* data, size_t size) { return m_sink && m_sink->write(data, size); }

void IshExtractor::end(bool ok, int32_t code, std::string_view reason) {
  if (!m_sink) return;
  // After a failed write the sink has already discarded the data and said why.
  if (ok) m_sink->commit();
  else m_sink->abort(code, reason);
  m_sink.reset();
}

void IshExtractor::fail(const IshHeader& header, int32_t code, std::string_view reason) {
  if (!wanted(header)) return;
  m_writer.fail(MemberOf(header, header.safeName().empty() ? header.storedName() : header.safeName()), code, reason);
}

}  // namespace rkarc
