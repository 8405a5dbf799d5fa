// Decodes every ISH file found in one text (an .ISH file or a terminal log)
// into a target: single files as they come, and each multi-volume set once,
// together with its sibling volume files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/ish32/IshFileTarget.h"
#include "archivers/ish32/IshTextScanner.h"

namespace rkarc {

class IshReader {
 public:
  IshReader(std::string path, IshFileTarget& target, IshTextScanner::ProgressFn progress = {});

  // 0 when at least one file was found (each file's own outcome went to the
  // target); kErrArchiveOpen when the text cannot be read; kErrNotArchive
  // when it holds no header record.
  int32_t run();
  int filesFound() const { return m_found; }
  // After kErrArchiveOpen: why, as a report line.
  const std::string& problem() const { return m_problem; }

  // True when the text holds a sane header record.
  static bool IsIshText(const std::string& path);

 private:
  void decodeSingle(IshTextScanner& scanner, const IshHeader& header);
  void decodeSet(const IshHeader& header);

  std::string m_path;
  IshFileTarget& m_target;
  IshTextScanner::ProgressFn m_progress;
  std::vector<std::string> m_setsDone;
  int m_found = 0;
  std::string m_problem;
};

}  // namespace rkarc
