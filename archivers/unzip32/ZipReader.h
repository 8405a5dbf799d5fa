// UNZIP32.DLL's work: extracting a ZIP archive (plain or self-extracting)
// into a folder through libarchive's seekable ZIP reader and the safe writer,
// and telling whether a file is a ZIP archive this module can extract.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"

namespace rkarc::zip {

int32_t Extract(std::string_view command, Report& report, Progress& progress);
bool CanExtract(const std::string& path);

}  // namespace rkarc::zip
