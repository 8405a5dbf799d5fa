// The coders of a 7z folder by their method IDs (Methods.txt of the 7-Zip
// sources), and who decodes a folder: this module, libarchive (PPMd), or
// nobody (encrypted, or a method no library here has).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/sevenzip32/SevenZipHeader.h"

namespace rkarc::sevenzip {

enum class Method {
  Copy,
  Lzma,
  Lzma2,
  Ppmd,
  Deflate,
  Deflate64,
  Bzip2,
  X86,
  Bcj2,
  PowerPc,
  Ia64,
  Arm,
  ArmThumb,
  Sparc,
  Arm64,
  RiscV,
  Delta,
  Aes,
  Other,
};

Method MethodOf(const Coder& coder);
// The method's name for a report line: "Zstandard", "RISC-V", or its ID in hex.
std::string MethodName(const Coder& coder);

struct FolderPlan {
  enum Kind { Ours, Libarchive, Encrypted, Unsupported } kind = Ours;
  std::string method;  // Unsupported: which
};

FolderPlan PlanFolder(const Folder& folder);

// The report's reason for a member whose method is not decoded here.
std::string UnsupportedReason(const std::string& method);

}  // namespace rkarc::sevenzip
