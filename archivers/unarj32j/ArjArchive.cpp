// The header walk over an ARJ archive; see ArjArchive.h.
#include "archivers/unarj32j/ArjArchive.h"

#include "archivers/common/ResultCodes.h"
#include "archivers/unarj32j/ArjLocator.h"

namespace rkarc {

int32_t ArjArchive::open(const std::string& path) {
  if (!m_file.open(path)) {
    failed(kErrArchiveOpen, m_file.error());
    return m_failure;
  }
  const auto start = ArjLocator(m_file).findMainHeader();
  if (!start) {
    // A damaged main header at the start is a broken archive rather than a foreign file.
    ArjHeader header;
    const ArjHeaderStatus status = ReadArjHeader(m_file, 0, header);
    if (status == ArjHeaderStatus::BadCrc) failed(kErrChecksum, "ARJ書庫のメインヘッダが壊れています");
    else if (status == ArjHeaderStatus::ReadError) failed(kErrArchiveOpen, "書庫を読めません");
    else failed(kErrNotArchive, "ARJ書庫ではありません");
    return m_failure;
  }
  ReadArjHeader(m_file, *start, m_main);
  m_pos = m_main.dataOffset;
  return kOk;
}

ArjArchive::Step ArjArchive::next(ArjHeader& member) {
  if (m_failure != 0) return Step::Failed;
  const ArjHeaderStatus status = ReadArjHeader(m_file, m_pos, member);
  const std::string where = std::string(ArjHeaderProblem(status)) + "（位置 " + std::to_string(m_pos) + "）";
  switch (status) {
    case ArjHeaderStatus::End: return Step::End;
    case ArjHeaderStatus::Ok: break;
    case ArjHeaderStatus::BadCrc: return failed(kErrChecksum, where);
    case ArjHeaderStatus::ReadError: return failed(kErrArchiveOpen, where);
    default: return failed(kErrDamaged, where);
  }
  if (member.fileType == kArjMainHeader) return failed(kErrDamaged, "ARJヘッダが壊れています");
  m_pos = member.dataOffset + member.compressedSize;
  return Step::Member;
}

bool ArjArchive::walkAll() {
  ArjHeader member;
  for (;;) {
    switch (next(member)) {
      case Step::End: return true;
      case Step::Failed: return false;
      case Step::Member:
        if (!dataInFile(member)) return false;
        break;
    }
  }
}

ArjArchive::Step ArjArchive::failed(int32_t code, std::string problem) {
  m_failure = code;
  m_problem = std::move(problem);
  return Step::Failed;
}

}  // namespace rkarc
