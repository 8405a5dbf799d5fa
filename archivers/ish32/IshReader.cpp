// The top level of a decoding run over one text.
#include "archivers/ish32/IshReader.h"

#include <algorithm>

#include "archivers/common/RegularFile.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/ish32/IshVolumeSet.h"

namespace rkarc {

IshReader::IshReader(std::string path, IshFileTarget& target, IshTextScanner::ProgressFn progress)
    : m_path(std::move(path)), m_target(target), m_progress(std::move(progress)) {}

bool IshReader::IsIshText(const std::string& path) {
  IshTextScanner scanner(path);
  return scanner.nextHeader().has_value();
}

int32_t IshReader::run() {
  IshTextScanner scanner(m_path, m_progress);
  if (!scanner.isOpen()) {
    m_problem = OpenFailureText(scanner.openError());
    return kErrArchiveOpen;
  }
  std::optional<IshHeader> last;
  while (!m_target.stopped()) {
    const auto header = scanner.nextHeader();
    if (!header) break;
    // The copies of the header met last, and lines left over after its file.
    if (last && *header == *last) continue;
    last = header;
    ++m_found;
    if (header->isVolume()) decodeSet(*header);
    else decodeSingle(scanner, *header);
  }
  if (scanner.failed()) {
    m_problem = "書庫を読めません";
    return kErrArchiveOpen;
  }
  return m_found > 0 ? kOk : kErrNotArchive;
}

void IshReader::decodeSingle(IshTextScanner& scanner, const IshHeader& header) {
  if (!m_target.begin(header)) return;
  IshStreamDecoder decoder(header.recordLength(), header.size(),
                           [this](const uint8_t* data, size_t size) { return m_target.write(data, size); });
  if (scanner.decodeFile(header, decoder) == IshStreamDecoder::State::Done) {
    m_target.end(true, kOk, {});
  } else {
    m_target.end(false, decoder.errorCode(), decoder.error());
  }
}

void IshReader::decodeSet(const IshHeader& header) {
  const std::string key = header.setKey();
  if (std::find(m_setsDone.begin(), m_setsDone.end(), key) != m_setsDone.end()) return;
  m_setsDone.push_back(key);
  IshVolumeSet set(m_path, header);
  set.collect();
  set.decode(m_target);
}

}  // namespace rkarc
