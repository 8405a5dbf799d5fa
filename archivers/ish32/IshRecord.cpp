// Variant properties and the record CRC check.
#include "archivers/ish32/IshRecord.h"

#include "archivers/common/Bytes.h"
#include "archivers/ish32/IshCrc16.h"

namespace rkarc {

bool IshRecord::crcValid() const {
  if (length < 3) return false;
  IshCrc16 crc;
  crc.update(bytes.data(), static_cast<size_t>(length - 2));
  const uint16_t stored = Be16(&bytes[static_cast<size_t>(length - 2)]);
  return crc.value() == stored;
}

std::optional<IshVariant> IshVariantFromType(uint8_t type) {
  switch (type) {
    case 13: return IshVariant::Jis7;
    case 8: return IshVariant::Jis8;
    case 15: return IshVariant::Sjis;
    case 14: return IshVariant::NonKana;
    default: return std::nullopt;
  }
}

int IshRecordLength(IshVariant variant) {
  switch (variant) {
    case IshVariant::Jis7: return 63;
    case IshVariant::Sjis: return 73;
    case IshVariant::Jis8:
    case IshVariant::NonKana: break;
  }
  return 69;
}

std::string_view IshVariantName(IshVariant variant) {
  switch (variant) {
    case IshVariant::Jis7: return "jis7";
    case IshVariant::Jis8: return "jis8";
    case IshVariant::Sjis: return "shift_jis";
    case IshVariant::NonKana: break;
  }
  return "non-kana";
}

}  // namespace rkarc
