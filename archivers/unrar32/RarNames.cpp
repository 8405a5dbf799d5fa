// Unpacking RAR 4 Unicode names; see RarNames.h.
#include "archivers/unrar32/RarNames.h"

#include <cstdint>
#include <vector>

namespace rkarc::rar {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 units to UTF-8, pairing surrogates; a unit that pairs with nothing
// becomes U+FFFD, and the name ends at a zero unit.
std::string Utf8Of(const std::vector<char16_t>& units) {
  std::string out;
  for (size_t i = 0; i < units.size() && units[i] != 0; ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace

std::string Rar4UnicodeName(std::string_view bytes, std::string_view encoded) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(encoded[i]); };
  std::vector<char16_t> units;
  if (encoded.empty()) return std::string(bytes);
  const char16_t high = static_cast<char16_t>(byte(0) << 8);
  size_t at = 1;
  unsigned flags = 0;
  int flagBits = 0;
  while (at < encoded.size()) {
    if (flagBits == 0) {
      flags = byte(at++);
      flagBits = 8;
      if (at >= encoded.size()) break;
    }
    switch (flags >> 6) {
      case 0:  // one unit of the first 256
        units.push_back(byte(at++));
        break;
      case 1:  // one unit in the name's high byte
        units.push_back(static_cast<char16_t>(high | byte(at++)));
        break;
      case 2:  // a whole unit
        if (at + 1 >= encoded.size()) return Utf8Of(units);
        units.push_back(static_cast<char16_t>(byte(at) | (byte(at + 1) << 8)));
        at += 2;
        break;
      default: {  // a run taken from the bytes, each corrected and in the high byte, or as they are
        const unsigned length = byte(at++);
        const bool corrected = (length & 0x80) != 0;
        if (corrected && at >= encoded.size()) return Utf8Of(units);
        const uint8_t correction = corrected ? byte(at++) : 0;
        for (unsigned n = (length & 0x7F) + 2; n > 0 && units.size() < bytes.size(); --n) {
          const auto b = static_cast<uint8_t>(bytes[units.size()]);
          units.push_back(corrected ? static_cast<char16_t>(high | static_cast<uint8_t>(b + correction)) : b);
        }
      }
    }
    flags = (flags << 2) & 0xFF;
    flagBits -= 2;
  }
  return Utf8Of(units);
}

}  // namespace rkarc::rar
