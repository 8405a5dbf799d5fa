// The report buffer of a command call: lines of text, always NUL-terminated,
// cut at the buffer's size. Names written here are already made printable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rkarc {

class Report {
 public:
  Report(char* buffer, uint32_t size);
  // Appends one line (a newline is added). Text beyond the buffer is dropped.
  void add(std::string_view line);
  const std::string& text() const { return m_text; }

 private:
  void flush();
  char* m_buffer;
  uint32_t m_size;
  std::string m_text;
};

}  // namespace rkarc
