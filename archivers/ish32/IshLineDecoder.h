// Turns one cleaned text line into the binary record it encodes, for each of
// the four ISH variants. A line that does not decode fully, or whose record
// CRC does not match, gives nothing: the caller treats it as lost.
#pragma once

#include <optional>
#include <string_view>

#include "archivers/ish32/IshRecord.h"

namespace rkarc {

// Characters of a full line: 78 (jis7, sjis) or 79 (jis8, non-kana); more are ignored.
int IshLineLength(IshVariant variant);

std::optional<IshRecord> DecodeIshLine(std::string_view line, IshVariant variant);

}  // namespace rkarc
