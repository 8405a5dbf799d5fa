// Which compression wraps a TAR-family file, decided from its first bytes
// (never from its name or the option letters), and the header checks that
// tell whether the file is something this module can extract.
#pragma once

#include <cstddef>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::tar {

enum class Compression { None, Gzip, Bzip2, Compress, Xz, Zstd, Lzip, Lzma };

Compression Sniff(const InputFile& file);

// A 512-byte tar header block whose checksum is right.
bool IsTarHeader(const unsigned char* block, size_t size);

// The file's headers check out for its compression (and, when not
// compressed, it is a tar archive).
bool LooksExtractable(const InputFile& file);

}  // namespace rkarc::tar
