// Recognises the start of another archive kind inside a file, with a check
// strong enough that a stray byte pattern in program code rarely matches.
// The LZH scan stops there so that a ZIP, RAR, CAB, ARJ or 7z
// self-extracting file (which may well hold a stored .lzh) is not taken as LZH.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rkarc {

class ForeignSignature {
 public:
  // `p` points into a buffer with `available` bytes from p on.
  static bool At(const uint8_t* p, size_t available);
};

}  // namespace rkarc
