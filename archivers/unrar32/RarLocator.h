// Finds a RAR archive (RAR 4 or RAR 5) in a file: at its start, or behind a
// self-extracting stub of any size. A signature only counts when the main
// archive header after it passes its CRC check (docs/formats/SFX.md section 4),
// because stubs carry "Rar!" strings in their code.
#pragma once

#include <cstdint>
#include <optional>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::rar {

struct RarStart {
  uint64_t offset;  // of the signature
  int version;      // 4 or 5
};

std::optional<RarStart> FindRar(const InputFile& file);

// Where the executable image of an MZ/PE stub ends (0 when the file is not
// one): appended data normally starts there (docs/formats/SFX.md section 1).
uint64_t ExecutableImageEnd(const InputFile& file);

// Decodes a RAR 5 variable-length integer at p (at most `size` bytes);
// returns the bytes used, 0 when malformed.
size_t ReadVint(const unsigned char* p, size_t size, uint64_t& value);

}  // namespace rkarc::rar
