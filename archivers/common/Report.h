// The report buffer of a command call: lines of text, always NUL-terminated,
// cut at the buffer's size. Names written here are already made printable.
//
// Lines for the host head the buffer, each "TAG<tab>TEXT", before every other
// line so that a full buffer never cuts them off:
//   reason<tab>why a failed command failed, in a few words (one line)
//   volumes<tab>how many volumes the set that was read has (a set only)
//   volume<tab>the file name of a later volume of that set, in order
//   keep<tab>why the archive must be kept although the command succeeded:
//        something was not proven whole (data ignored after the end, a member
//        written under another name, a member left out); one line each
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
  // Appends a line saying why the command fails. The first such line is the
  // reason, unless a later one `decides` the result (a full disk after a
  // damaged member).
  void fail(std::string_view line, bool decides = false);
  // Tells the host that the archive may not be moved or deleted after this
  // extraction, and why (a few Japanese words; see the "keep" line above).
  void keep(std::string_view why) { lead("keep", why); }
  // Adds a line for the host (see above).
  void lead(std::string_view tag, std::string_view text);
  // Heads the buffer with the reason when `result` is a failure: the line
  // given to fail() without the English of libarchive or the system at its
  // end, else the plain text of the code.
  void finish(int32_t result);
  const std::string& text() const { return m_text; }

 private:
  void flush();
  char* m_buffer;
  uint32_t m_size;
  std::string m_text;
  std::string m_reason;
  std::string m_leads;  // "TAG\tTEXT\n" lines
};

}  // namespace rkarc
