// Volume lookup and assembly. Volumes belong together when their headers agree
// on everything but the volume number and the volume's own CRC.
#include "archivers/ish32/IshVolumeSet.h"

#include <dirent.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/ish32/IshCrc16.h"
#include "archivers/ish32/IshTextScanner.h"

namespace rkarc {
namespace {

constexpr size_t kMaxSiblings = 200;

// "i01" .. "i99" in any letter case.
bool IsVolumeExtension(std::string_view ext) {
  return ext.size() == 3 && (ext[0] == 'i' || ext[0] == 'I') && std::isdigit(static_cast<unsigned char>(ext[1])) &&
         std::isdigit(static_cast<unsigned char>(ext[2])) && ext.substr(1) != "00";
}

std::string Join(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

}  // namespace

IshVolumeSet::IshVolumeSet(const std::string& path, const IshHeader& header)
    : m_path(path), m_header(header), m_sources(static_cast<size_t>(header.volumeCount())) {}

std::vector<std::string> IshVolumeSet::siblings() const {
  const size_t slash = m_path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : m_path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
  const std::string base = name.substr(0, name.rfind('.'));
  std::vector<std::string> out;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return out;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view entryName(entry->d_name);
    if (entryName == name || entryName.size() != base.size() + 4 || entryName[base.size()] != '.') continue;
    if (!EqualIgnoringAsciiCase(entryName.substr(0, base.size()), base)) continue;
    if (!IsVolumeExtension(entryName.substr(base.size() + 1))) continue;
    out.push_back((slash == std::string::npos ? "" : folder) + std::string(entryName));
    if (out.size() >= kMaxSiblings) break;
  }
  ::closedir(dir);
  std::sort(out.begin(), out.end());
  return out;
}

void IshVolumeSet::collect() {
  scan(m_path);
  for (const std::string& sibling : siblings()) {
    if (missing().empty()) break;
    scan(sibling);
  }
}

void IshVolumeSet::scan(const std::string& path) {
  IshTextScanner scanner(path);
  while (auto header = scanner.nextHeader()) {
    if (!header->isVolume() || header->setKey() != m_header.setKey()) continue;
    Source& source = m_sources[static_cast<size_t>(header->volume() - 1)];
    if (source.found) continue;
    source = Source{path, scanner.headerOffset(), true};
  }
}

std::vector<int> IshVolumeSet::missing() const {
  std::vector<int> out;
  for (size_t i = 0; i < m_sources.size(); ++i)
    if (!m_sources[i].found) out.push_back(static_cast<int>(i + 1));
  return out;
}

void IshVolumeSet::decode(IshFileTarget& target) {
  const std::vector<int> lost = missing();
  if (!lost.empty()) {
    target.fail(m_header, kErrMultiVolume,
                "分割ファイル（全 " + std::to_string(m_sources.size()) + " 巻）がそろっていません。ない巻: " + Join(lost));
    return;
  }
  if (!target.begin(m_header)) return;
  uint32_t crc32 = static_cast<uint32_t>(::crc32(0, nullptr, 0));
  IshCrc16 crc16;
  for (int n = 1; n <= static_cast<int>(m_sources.size()); ++n)
    if (!decodeVolume(n, target, crc32, crc16)) return;
  if (crc16.value() != m_header.wholeCrc16() || crc32 != m_header.wholeCrc32()) {
    target.end(false, kErrChecksum, "ファイル全体の CRC が一致しません");
    return;
  }
  target.end(true, kOk, {});
}

bool IshVolumeSet::decodeVolume(int n, IshFileTarget& target, uint32_t& crc32, IshCrc16& crc16) {
  const Source& source = m_sources[static_cast<size_t>(n - 1)];
  IshTextScanner scanner(source.path);
  std::optional<IshHeader> header;
  if (scanner.seek(source.offset)) header = scanner.nextHeader();
  if (!header || header->setKey() != m_header.setKey() || header->volume() != n) {
    target.end(false, kErrArchiveOpen, "第 " + std::to_string(n) + " 巻を読み直せません");
    return false;
  }
  IshStreamDecoder decoder(header->recordLength(), header->volumeBytes(n), [&](const uint8_t* data, size_t size) {
    crc16.update(data, size);
    crc32 = static_cast<uint32_t>(::crc32(crc32, data, static_cast<uInt>(size)));
    return target.write(data, size);
  });
  if (scanner.decodeFile(*header, decoder) != IshStreamDecoder::State::Done) {
    target.end(false, decoder.errorCode(), "第 " + std::to_string(n) + " 巻: " + decoder.error());
    return false;
  }
  return true;
}

}  // namespace rkarc
