// SEVENZIP32.DLL's work: extracting a 7z archive (plain or self-extracting)
// into a folder through our own 7z reader (libarchive's for PPMd)
// and the safe writer, and telling whether a file holds a 7z archive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"

namespace rkarc::sevenzip {

int32_t Extract(std::string_view command, Report& report, Progress& progress);
bool CanExtract(const std::string& path);

}  // namespace rkarc::sevenzip
