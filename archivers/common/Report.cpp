// Report buffer; see Report.h.
#include "archivers/common/Report.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

// The reason without libarchive's or the system's own English words, which
// the report line keeps in brackets at its end: "（Header CRC error）" goes,
// "（-lh2-）" and "（0 バイト目）" stay.
std::string Japanese(const std::string& line) {
  static const std::string open = "（", close = "）";
  const size_t at = line.rfind(open);
  if (at == std::string::npos || !line.ends_with(close)) return line;
  const std::string inside = line.substr(at + open.size(), line.size() - at - open.size() - close.size());
  const bool ascii = std::all_of(inside.begin(), inside.end(), [](char c) { return (c & 0x80) == 0; });
  return ascii && inside.find(' ') != std::string::npos ? line.substr(0, at) : line;
}

}  // namespace

Report::Report(char* buffer, uint32_t size) : m_buffer(buffer), m_size(size) { flush(); }

void Report::add(std::string_view line) {
  m_text.append(line);
  m_text.push_back('\n');
  flush();
}

void Report::note(std::string_view line) {
  std::string text(kNotePrefix);
  text.append(line);
  add(text);
}

void Report::fail(std::string_view line, bool decides) {
  if (m_reason.empty() || decides) m_reason = line;
  add(line);
}

void Report::lead(std::string_view tag, std::string_view text) {
  m_leads.append(tag);
  m_leads.push_back('\t');
  m_leads.append(text);
  m_leads.push_back('\n');
  flush();
}

void Report::finish(int32_t result) {
  if (!IsFailure(result)) return;
  m_leads.insert(0, "reason\t" + (m_reason.empty() ? std::string(FailureText(result)) : Japanese(m_reason)) + "\n");
  flush();
}

void Report::flush() {
  if (m_buffer == nullptr || m_size == 0) return;
  // Only what fits is put together: a report of many lines is cut anyway.
  std::string head = m_leads;
  head.append(m_text, 0, std::min<size_t>(m_text.size(), m_size));
  const size_t whole = m_leads.size() + m_text.size();
  size_t n = std::min<size_t>(whole, m_size - 1);
  // Never cut a UTF-8 character in half.
  while (n > 0 && n < head.size() && (static_cast<unsigned char>(head[n]) & 0xC0) == 0x80) --n;
  std::memcpy(m_buffer, head.data(), n);
  m_buffer[n] = '\0';
}

}  // namespace rkarc
