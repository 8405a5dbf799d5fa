// Report buffer; see Report.h.
#include "archivers/common/Report.h"

#include <algorithm>
#include <cstring>

namespace rkarc {

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

void Report::flush() {
  if (m_buffer == nullptr || m_size == 0) return;
  size_t n = std::min<size_t>(m_text.size(), m_size - 1);
  // Never cut a UTF-8 character in half.
  while (n > 0 && n < m_text.size() && (static_cast<unsigned char>(m_text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(m_buffer, m_text.data(), n);
  m_buffer[n] = '\0';
}

}  // namespace rkarc
