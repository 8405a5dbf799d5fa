// libarchive over the volumes of a RAR set (a plain archive is a set of one):
// the windows it reads one after the other, and a second reading of the set
// that gives one member's data again, for the members RAR 5 stores as a
// reference to an earlier member ("a copy of member X").
#pragma once

#include <archive.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "archivers/common/SafeWriter.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/unrar32/RarVolumes.h"

namespace rkarc::rar {

// Turns on libarchive's RAR 4 and RAR 5 readers.
void SupportRar(archive* a);

class SetWindows {
 public:
  // `first` holds the first volume, whose archive begins at `start`.
  SetWindows(const InputFile& first, const RarStart& start, const VolumeSet& set, Progress* progress);
  int open(archive* a);

 private:
  void add(const InputFile& file, const RarStart& start, Progress* progress);

  std::vector<std::unique_ptr<ArchiveWindow>> m_windows;
};

// Writes the data of member number `index` (in libarchive's order) to `sink`
// by reading the set again, checked against `crc` when given; commits or
// aborts the sink.
void CopyMember(const InputFile& first, const RarStart& start, const VolumeSet& set, size_t index,
                std::optional<uint32_t> crc, MemberSink& sink);

}  // namespace rkarc::rar
