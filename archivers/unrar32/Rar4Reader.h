// RAR 1.5 to 4.x archives that are not volume sets, decoded by libunarr,
// which reads solid archives and the RAR 2.0 methods that libarchive 3.6
// refuses or decodes wrongly. This module's header walk gives each member's
// name, type, mode and time and the CRC-32 its data is checked against;
// libunarr gives only the data.
#pragma once

#include <optional>

#include "archivers/common/SafeWriter.h"
#include "archivers/libarchive/ExtractionJob.h"
#include "archivers/unrar32/RarHeaders.h"

namespace rkarc::rar {

// True when the walk's members were all read (the writer holds every
// failure); nothing when libunarr cannot open the archive (one behind a stub
// of more than 1 GiB) and nothing was written.
std::optional<bool> ReadRar4(ExtractionJob& job, SafeWriter& writer, const RarStart& start,
                             const RarHeaders& headers);

// The Member a RAR 4 file header describes (charset and name from the walk,
// type and mode from the host system's attributes).
Member Rar4Member(const RarFile& file);

}  // namespace rkarc::rar
