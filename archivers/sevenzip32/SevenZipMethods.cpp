// Method IDs and folder plans; see SevenZipMethods.h.
#include "archivers/sevenzip32/SevenZipMethods.h"

#include <cstdio>

namespace rkarc::sevenzip {
namespace {

struct Known {
  std::vector<uint8_t> id;
  Method method;
  const char* name;
};

const std::vector<Known>& KnownMethods() {
  static const std::vector<Known> known = {
      {{0x00}, Method::Copy, "Copy"},
      {{0x03}, Method::Delta, "Delta"},
      {{0x04}, Method::X86, "BCJ"},
      {{0x03, 0x03, 0x01, 0x03}, Method::X86, "BCJ"},
      {{0x03, 0x03, 0x01, 0x1B}, Method::Bcj2, "BCJ2"},
      {{0x05}, Method::PowerPc, "PPC"},
      {{0x03, 0x03, 0x02, 0x05}, Method::PowerPc, "PPC"},
      {{0x06}, Method::Ia64, "IA64"},
      {{0x03, 0x03, 0x04, 0x01}, Method::Ia64, "IA64"},
      {{0x07}, Method::Arm, "ARM"},
      {{0x03, 0x03, 0x05, 0x01}, Method::Arm, "ARM"},
      {{0x08}, Method::ArmThumb, "ARMT"},
      {{0x03, 0x03, 0x07, 0x01}, Method::ArmThumb, "ARMT"},
      {{0x09}, Method::Sparc, "SPARC"},
      {{0x03, 0x03, 0x08, 0x05}, Method::Sparc, "SPARC"},
      {{0x0A}, Method::Arm64, "ARM64"},
      {{0x0B}, Method::RiscV, "RISC-V"},
      {{0x21}, Method::Lzma2, "LZMA2"},
      {{0x03, 0x01, 0x01}, Method::Lzma, "LZMA"},
      {{0x03, 0x04, 0x01}, Method::Ppmd, "PPMd"},
      {{0x04, 0x01, 0x08}, Method::Deflate, "Deflate"},
      {{0x04, 0x01, 0x09}, Method::Deflate64, "Deflate64"},
      {{0x04, 0x02, 0x02}, Method::Bzip2, "BZip2"},
      {{0x06, 0xF1, 0x07, 0x01}, Method::Aes, "AES"},
      {{0x04, 0xF7, 0x11, 0x01}, Method::Other, "Zstandard"},
      {{0x04, 0xF7, 0x11, 0x02}, Method::Other, "Brotli"},
      {{0x04, 0xF7, 0x11, 0x04}, Method::Other, "LZ4"},
      {{0x04, 0xF7, 0x11, 0x05}, Method::Other, "LZ5"},
      {{0x04, 0xF7, 0x11, 0x06}, Method::Other, "Lizard"},
      {{0x04, 0xF7, 0x11, 0x0F}, Method::Other, "Fast LZMA2"},
      {{0x04, 0x01, 0x06}, Method::Other, "Implode"},
      {{0x04, 0x01, 0x0E}, Method::Other, "LZMA (ZIP)"},
  };
  return known;
}

const Known* Find(const Coder& coder) {
  for (const Known& k : KnownMethods())
    if (k.id == coder.method) return &k;
  return nullptr;
}

}  // namespace

Method MethodOf(const Coder& coder) {
  const Known* k = Find(coder);
  return k ? k->method : Method::Other;
}

std::string MethodName(const Coder& coder) {
  if (const Known* k = Find(coder)) return k->name;
  std::string hex;
  for (const uint8_t b : coder.method) {
    char two[3];
    std::snprintf(two, sizeof two, "%02X", b);
    hex += two;
  }
  return hex.empty() ? "?" : hex;
}

FolderPlan PlanFolder(const Folder& folder) {
  FolderPlan plan;
  for (const Coder& c : folder.coders) {
    const Method m = MethodOf(c);
    if (m == Method::Aes) return {FolderPlan::Encrypted, "AES"};
    if (m == Method::Other || m == Method::RiscV) return {FolderPlan::Unsupported, MethodName(c)};
    if (m == Method::Ppmd) plan.kind = FolderPlan::Libarchive;
  }
  return plan;
}

std::string UnsupportedReason(const std::string& method) { return "対応していない圧縮方式です（" + method + "）"; }

}  // namespace rkarc::sevenzip
