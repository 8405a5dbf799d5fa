// The 7zAES coder as a stage of a folder: the key made from the password by
// the format's SHA-256 rounds over salt, password (UTF-16LE) and a counter,
// then AES-256-CBC over the data of the stage below (nettle).
#pragma once

#include <memory>
#include <string>

#include "archivers/sevenzip32/SevenZipHeader.h"
#include "archivers/sevenzip32/Stage.h"

namespace rkarc::sevenzip {

// `password` in UTF-8. Null, with the failure set, when the coder's
// properties cannot be used.
std::unique_ptr<Stage> MakeAesStage(std::shared_ptr<Failure> failure, uint64_t size, std::unique_ptr<Stage> below,
                                    const Coder& coder, const std::string& password);

// Wipes the last key made, kept for the folders after the first; called
// when a command ends.
void ForgetAesKeys();

}  // namespace rkarc::sevenzip
