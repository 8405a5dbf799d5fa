// Which of the host's passwords opens the encrypted members of a 7z archive,
// found before anything is written. 7z keeps no check value for a password,
// so the first encrypted folder the command wants is decoded with each in
// turn as far as its first member, whose CRC must then match (or the whole
// folder, against the folder's CRC, where the member has none).
#pragma once

#include <string>
#include <vector>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Report.h"
#include "archivers/sevenzip32/SevenZipArchive.h"

namespace rkarc::sevenzip {

// Sets archive.passwordNeeded and archive.password, reports the outcome to
// the host (Passwords.h) and answers the failure's code, 0 when the command
// may go on.
int32_t ChoosePassword(const InputFile& file, uint64_t base, ArchiveHeader& archive, ExtractRequest& request,
                       const std::vector<std::string>& passwords, Report& report);

}  // namespace rkarc::sevenzip
