// What a gzip file's first header (RFC 1952) tells about the file it holds:
// its modification time and its original name, which the decompressed file
// takes as gzip -N does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::tar {

struct GzipHeader {
  std::optional<int64_t> mtime;  // none when the header holds 0
  std::string name;              // the stored name, bytes as stored; may be empty

  // The first member's header; empty fields when it cannot be read.
  static GzipHeader Read(const InputFile& file);
};

}  // namespace rkarc::tar
