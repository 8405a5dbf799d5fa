// An ARJ archive as a sequence of member headers: finds the main header
// (plain or self-extracting file), then walks the local headers one by one,
// each checked by its CRC-32, until the end marker.
#pragma once

#include <cstdint>
#include <string>

#include "archivers/unarj32j/ArjFile.h"
#include "archivers/unarj32j/ArjHeader.h"

namespace rkarc {

class ArjArchive {
 public:
  enum class Step { Member, End, Failed };

  // kOk, or kErrArchiveOpen, kErrNotArchive, kErrChecksum with problem() saying why.
  int32_t open(const std::string& path);

  // The next member's header. Its data may still reach past the end of the
  // file (dataInFile() is false then). On Failed, failure() and problem() say why;
  // the walk cannot go on.
  Step next(ArjHeader& member);

  bool dataInFile(const ArjHeader& member) const {
    return member.dataOffset + member.compressedSize <= m_file.size();
  }

  // Walks every header to the end marker: true when all are valid and every
  // member's data lies inside the file.
  bool walkAll();

  const ArjHeader& mainHeader() const { return m_main; }
  ArjFile& file() { return m_file; }
  int32_t failure() const { return m_failure; }
  const std::string& problem() const { return m_problem; }

 private:
  Step failed(int32_t code, std::string problem);

  ArjFile m_file;
  ArjHeader m_main;
  uint64_t m_pos = 0;
  int32_t m_failure = 0;
  std::string m_problem;
};

}  // namespace rkarc
