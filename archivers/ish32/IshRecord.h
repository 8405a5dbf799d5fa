// The four ISH encodings and the binary record that one encoded text line
// carries. Follows docs/formats/ISH.md.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rkarc {

// The value is the type byte a header stores at offset 11.
enum class IshVariant : uint8_t { Jis7 = 13, Jis8 = 8, Sjis = 15, NonKana = 14 };

constexpr int kIshMaxRecordLength = 73;

struct IshRecord {
  std::array<uint8_t, kIshMaxRecordLength> bytes{};
  int length = 0;

  uint8_t number() const { return bytes[0]; }
  // True when the stored big-endian CRC-16 matches bytes 0 .. length-3.
  bool crcValid() const;
};

std::optional<IshVariant> IshVariantFromType(uint8_t type);
// Bytes of a data record: 63 (jis7), 69 (jis8, non-kana), 73 (sjis).
int IshRecordLength(IshVariant variant);
std::string_view IshVariantName(IshVariant variant);

}  // namespace rkarc
