// Conversion between UTF-8 and CP932 (Shift_JIS as Japanese Windows writes it).
// Uses glibc's iconv explicitly, so the result never depends on the process locale.
// Plain C++: shared by the core and by the archiver modules.
#pragma once

#include <string>
#include <string_view>

namespace cp932 {

// Decodes CP932 bytes to UTF-8. A lead byte followed by 0x5C stays one character.
// Each byte that CP932 cannot decode becomes U+FFFD, and the byte after it is
// decoded on its own. Never fails.
std::string ToUtf8(std::string_view bytes);

// Encodes UTF-8 text to CP932; a character CP932 cannot hold becomes '?'.
// Invalid UTF-8 sequences become '?' as well. Never fails.
std::string FromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

}  // namespace cp932
