// Method 4 decoding; see ArjFastDecoder.h.
#include "archivers/unarj32j/ArjFastDecoder.h"

namespace rkarc {

uint32_t ArjFastDecoder::unary(uint32_t most) {
  uint32_t ones = 0;
  while (ones < most && bits().bit() == 1) ++ones;
  return ones;
}

bool ArjFastDecoder::next(Token& token) {
  const uint32_t lengthWidth = unary(7);
  const uint32_t lengthCode =
      lengthWidth == 0 ? 0 : (1u << lengthWidth) - 1 + bits().get(static_cast<int>(lengthWidth));
  if (lengthCode == 0) {
    token.length = 0;
    token.value = bits().get(8);
    return true;
  }
  token.length = lengthCode + kMinMatch - 1;
  const uint32_t distanceWidth = 9 + unary(4);
  token.value = (1u << distanceWidth) - (1u << 9) + bits().get(static_cast<int>(distanceWidth));
  return true;
}

}  // namespace rkarc
