// Finds an ARJ archive's main header in a file: at offset 0 for a plain
// archive, behind the executable stub of a self-extracting one (MZ, PE, ELF),
// by a bounded scan that accepts a position only after full validation
// (docs/formats/ARJ.md section 8, docs/formats/SFX.md section 1).
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

  // Where the image of an MZ or PE executable ends (the usual start of data
  // appended to it); 0 for other files or when the fields point outside the file.
  uint64_t executableImageEnd();

 private:
  bool validAt(uint64_t offset, bool checkNext);
  std::optional<uint64_t> scan(uint64_t from, uint64_t to);
  uint64_t peImageEnd(uint32_t peOffset);

  ArjFile& m_file;
};

}  // namespace rkarc
