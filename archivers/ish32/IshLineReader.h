// Reads a text file line by line and hands out the lines that may be ISH
// records: control characters removed, at least 61 bytes left. Only the first
// bytes of a line are kept, so a huge line costs no memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace rkarc {

class IshLineReader {
 public:
  // Opens only a regular file: a FIFO or device would block or never end.
  explicit IshLineReader(const std::string& path);
  ~IshLineReader();
  IshLineReader(const IshLineReader&) = delete;
  IshLineReader& operator=(const IshLineReader&) = delete;

  bool isOpen() const { return m_file != nullptr; }
  // Why the open failed, as OpenRegularFile gives it.
  int openError() const { return m_openError; }
  uint64_t size() const { return m_size; }
  // True after a read error (the text then counts as ended).
  bool failed() const { return m_failed; }

  // The next candidate line (at most kKept bytes of it); false at the end.
  bool next(std::string& line);
  // The next call to next() gives the last line again.
  void unread() { m_unread = true; }
  // Where the last line given by next() begins, and how far the file is read.
  uint64_t lineOffset() const { return m_lineOffset; }
  uint64_t position() const { return m_position; }
  bool seek(uint64_t offset);

  static constexpr size_t kKept = 96;  // a record line uses 79 bytes at most

 private:
  bool fill();

  std::FILE* m_file = nullptr;
  uint64_t m_size = 0;
  bool m_failed = false;
  int m_openError = 0;
  std::vector<char> m_buffer;
  size_t m_begin = 0;
  size_t m_end = 0;
  uint64_t m_position = 0;
  uint64_t m_lineOffset = 0;
  std::string m_line;
  bool m_unread = false;
};

}  // namespace rkarc
