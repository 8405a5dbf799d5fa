// Method 4 decoding; see ArjFastDecoder.h. A token is a unary width (up to 7
// one bits, ended by a zero bit below 7) and that many bits of length: zero
// means a literal byte follows, otherwise a copy whose distance is a unary
// width (up to 4) plus 9 bits of distance.
#include "archivers/unarj32j/ArjFastDecoder.h"

#include <algorithm>

namespace rkarc {
namespace {

constexpr size_t kMinMatch = 3;

// Counts one bits up to `most`, consuming the zero bit that ends a shorter run.
uint32_t Unary(MsbBitReader::Bits& bits, int most) {
  const int ones = std::min(__builtin_clzll(~bits.window | 1), most);
  bits.skip(ones < most ? ones + 1 : ones);
  return static_cast<uint32_t>(ones);
}

}  // namespace

LzResult ArjFastDecoder::run(MsbBitReader& in, LzWindow& window, uint64_t total) {
  return window.decode(in, total, [&](MsbBitReader::Bits& bits, uint8_t*& out, uint8_t* stop, uint64_t room) {
    uint8_t* const start = out;
    while (out < stop) {
      in.refill(bits);  // 56 bits: a copy takes at most 7 + 7 + 4 + 13
      const uint32_t lengthWidth = Unary(bits, 7);
      if (lengthWidth == 0) {
        *out++ = static_cast<uint8_t>(bits.take(8));
        continue;
      }
      // Both widths are at least 1 here.
      size_t length = (1u << lengthWidth) - 1 + bits.take(static_cast<int>(lengthWidth)) + kMinMatch - 1;
      const uint32_t distanceWidth = 9 + Unary(bits, 4);
      const size_t distance = (1u << distanceWidth) - (1u << 9) + bits.take(static_cast<int>(distanceWidth)) + 1;
      if (!window.canCopy(out, distance)) [[unlikely]] return LzResult::BadCopy;
      // A copy that runs past the original size is cut there; the CRC decides.
      if (length > static_cast<size_t>(stop - out)) length = std::min<uint64_t>(length, room - static_cast<uint64_t>(out - start));
      LzWindow::Copy(out, distance, length);
      out += length;
    }
    return LzResult::Ok;
  });
}

}  // namespace rkarc
