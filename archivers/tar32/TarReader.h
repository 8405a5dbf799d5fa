// TAR32.DLL's work: .tar, .tar.gz/.tgz, .tar.Z/.taz and .tar.bz2 archives
// into a folder, and the single-file form (.gz, .Z, .bz2, .bzip2 to a named
// file). gzip and bzip2 are checked in full before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"

namespace rkarc::tar {

int32_t Extract(std::string_view command, Report& report, Progress& progress);
bool CanExtract(const std::string& path);

}  // namespace rkarc::tar
