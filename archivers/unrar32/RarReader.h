// UNRAR32.DLL's work: extracting a RAR 4 or RAR 5 archive (plain or
// self-extracting) into a folder through libarchive and the safe writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"

namespace rkarc::rar {

int32_t Extract(std::string_view command, Report& report, Progress& progress);
bool CanExtract(const std::string& path);

}  // namespace rkarc::rar
