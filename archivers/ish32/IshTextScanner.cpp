// Header search and record feeding over one text.
#include "archivers/ish32/IshTextScanner.h"

#include "archivers/ish32/IshLineDecoder.h"

namespace rkarc {

IshTextScanner::IshTextScanner(const std::string& path, ProgressFn progress)
    : m_lines(path), m_progress(std::move(progress)) {}

bool IshTextScanner::nextLine(std::string& line) {
  if (!m_lines.next(line)) return false;
  if (m_progress) m_progress(m_lines.position(), m_lines.size());
  return true;
}

std::optional<IshHeader> IshTextScanner::HeaderOf(const std::string& line) {
  std::optional<IshRecord> record;
  if (line[0] == '!') record = DecodeIshLine(line, IshVariant::Jis7);
  else if (line[0] == '#') record = DecodeIshLine(line, IshVariant::Jis8);
  if (!record) return std::nullopt;
  return IshHeader::parse(*record);
}

std::optional<IshHeader> IshTextScanner::nextHeader() {
  std::string line;
  while (nextLine(line)) {
    auto header = HeaderOf(line);
    if (header && header->fitsIn(m_lines.size())) {
      m_headerOffset = m_lines.lineOffset();
      return header;
    }
  }
  return std::nullopt;
}

IshStreamDecoder::State IshTextScanner::decodeFile(const IshHeader& header, IshStreamDecoder& decoder) {
  std::string line;
  while (nextLine(line)) {
    if (line[0] == '!' || line[0] == '#') {
      if (auto other = HeaderOf(line); other && other->fitsIn(m_lines.size())) {
        if (*other == header) continue;  // one of the header's copies
        m_lines.unread();
        return decoder.finish();
      }
    }
    const auto record = DecodeIshLine(line, header.variant());
    if (!record || record->number() == 0) continue;
    if (decoder.add(*record) != IshStreamDecoder::State::Running) return decoder.state();
  }
  return decoder.finish();
}

}  // namespace rkarc
