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
  // A line the host shows in its result log even after a success: what the
  // user should know about an extraction that worked (data that was ignored).
  void note(std::string_view line);
  // What begins such a line in the report text.
  static constexpr std::string_view kNotePrefix = "注意：";
  const std::string& text() const { return m_text; }

 private:
  void flush();
  char* m_buffer;
  uint32_t m_size;
  std::string m_text;
};

}  // namespace rkarc
