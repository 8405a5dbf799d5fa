// Finds an ARJ archive's main header in a file: at offset 0 for a plain
// archive, behind the executable stub of a self-extracting one (MZ, PE, ELF),
// by a bounded scan from where the executable image ends (ExecutableImage.h)
// that accepts a position only after full validation.
#pragma once

#include <cstdint>
#include <optional>

#include "archivers/unarj32j/ArjFile.h"

namespace rkarc {

class ArjLocator {
 public:
  // How far past its starting point a scan looks for the main header.
  static constexpr uint64_t kScanLimit = 1u << 20;

  explicit ArjLocator(ArjFile& file) : m_file(file) {}

  // The offset of a valid main header, or nothing. Behind a stub the main
  // header must also be followed by a valid block (a member or the end marker).
  std::optional<uint64_t> findMainHeader();

 private:
  bool validAt(uint64_t offset, bool checkNext);
  std::optional<uint64_t> scan(uint64_t from, uint64_t to);

  ArjFile& m_file;
};

}  // namespace rkarc
