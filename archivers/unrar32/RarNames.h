// Names of RAR 4 members stored with their Unicode form: the bytes of the
// name in the system's code page, a zero byte, then the UTF-16 form packed
// against those bytes.
#pragma once

#include <string>
#include <string_view>

namespace rkarc::rar {

// The UTF-8 name that `encoded` (what follows the zero byte) packs against
// `bytes` (what precedes it).
std::string Rar4UnicodeName(std::string_view bytes, std::string_view encoded);

}  // namespace rkarc::rar
