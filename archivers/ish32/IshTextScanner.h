// Walks one text file for ISH: finds header records anywhere in it and feeds
// the data records that follow a header to a stream decoder. Everything that
// is not a valid record (titles, progress lines, mail headers, chat) is skipped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "archivers/ish32/IshHeader.h"
#include "archivers/ish32/IshLineReader.h"
#include "archivers/ish32/IshStreamDecoder.h"

namespace rkarc {

class IshTextScanner {
 public:
  // Called with the bytes read so far and the text's size.
  using ProgressFn = std::function<void(uint64_t done, uint64_t total)>;

  explicit IshTextScanner(const std::string& path, ProgressFn progress = {});

  bool isOpen() const { return m_lines.isOpen(); }
  int openError() const { return m_lines.openError(); }
  bool failed() const { return m_lines.failed(); }
  uint64_t size() const { return m_lines.size(); }

  // The next line holding a sane header record (copies included), or nothing
  // at the end of the text. headerOffset() then tells where its line begins.
  std::optional<IshHeader> nextHeader();
  uint64_t headerOffset() const { return m_headerOffset; }
  bool seek(uint64_t offset) { return m_lines.seek(offset); }

  // Feeds the records after `header` to the decoder until it is done or
  // fails, another header appears (left for nextHeader), or the text ends.
  IshStreamDecoder::State decodeFile(const IshHeader& header, IshStreamDecoder& decoder);

  // The header a line holds, if any: jis7 lines start with '!' and jis8
  // lines with '#', the characters for record number 0.
  static std::optional<IshHeader> HeaderOf(const std::string& line);

 private:
  bool nextLine(std::string& line);

  IshLineReader m_lines;
  ProgressFn m_progress;
  uint64_t m_headerOffset = 0;
};

}  // namespace rkarc
