// A multi-volume set: finds the volumes of one file in the text it was met
// in and in the sibling files NAME.i01 .. NAME.i99, decodes them in order into
// one output, and checks the whole file's CRC-16 and CRC-32.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archivers/ish32/IshCrc16.h"
#include "archivers/ish32/IshFileTarget.h"
#include "archivers/ish32/IshHeader.h"

namespace rkarc {

class IshVolumeSet {
 public:
  // `header` is a volume header found in the text `path`.
  IshVolumeSet(const std::string& path, const IshHeader& header);

  // Looks for every volume of the set; the text itself first, then its siblings.
  void collect();
  // Volume numbers not found (after collect()).
  std::vector<int> missing() const;
  // Decodes the set into the target: begin .. end, or fail when volumes are missing.
  void decode(IshFileTarget& target);

 private:
  struct Source {
    std::string path;
    uint64_t offset = 0;  // of the volume's header line
    bool found = false;
  };

  std::vector<std::string> siblings() const;
  void scan(const std::string& path);
  bool decodeVolume(int n, IshFileTarget& target, uint32_t& crc32, IshCrc16& crc16);

  std::string m_path;
  IshHeader m_header;
  std::vector<Source> m_sources;  // index: volume number - 1
};

}  // namespace rkarc
