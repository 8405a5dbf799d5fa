// The history that LZ77 copies read from, kept in front of the bytes being
// decoded in one linear buffer, for the LZH and ARJ decoders: a copy never
// wraps around a ring, so it moves eight bytes at a time. Each 256 KB decoded
// goes to the output, and the last 64 KB move to the front.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

#include "archivers/common/MsbBitReader.h"

namespace rkarc {

// How a decoding loop ended.
enum class LzResult {
  Ok,
  BadTable,      // a block header whose codes are not valid
  BadCode,       // a bit pattern that is no code
  BadCopy,       // a copy from before the first byte or beyond the window
  Overrun,       // the data ended before the original size was reached
  OutputFailed,  // the output refused the data
};

class LzWindow {
 public:
  static constexpr size_t kHistory = 64 * 1024;  // the farthest copy of any method here
  static constexpr size_t kChunk = 256 * 1024;
  // Receives decoded data; returns false to stop.
  using Output = std::function<bool(const uint8_t* data, size_t size)>;

  // `reach`: how far back a copy may go (at most kHistory). `before`: when
  // set, the history before the first byte holds this byte and copies may read
  // it (every LHA reads spaces there); otherwise such a copy is damage.
  // `total`: the bytes to decode; a small member gets a small chunk.
  LzWindow(size_t reach, std::optional<uint8_t> before, uint64_t total, Output output);

  uint8_t* cursor() { return m_buffer.get() + kHistory; }
  uint8_t* chunkEnd() { return m_buffer.get() + kHistory + m_chunk; }
  // True when a copy from `distance` (1 = the byte just written) back from `at` may be made.
  bool canCopy(const uint8_t* at, size_t distance) const {
    return distance <= m_reach && distance <= static_cast<size_t>(at - m_floor);
  }

  // Copies `length` bytes from `distance` back to `at`. May write up to 7
  // bytes beyond the copy, and a copy may start up to 256 bytes past chunkEnd().
  static void Copy(uint8_t* at, size_t distance, size_t length) {
    const uint8_t* from = at - distance;
    if (distance >= 8) {
      for (size_t i = 0; i < length; i += 8) std::memcpy(at + i, from + i, 8);
    } else {
      for (size_t i = 0; i < length; ++i) at[i] = from[i];
    }
  }

  // Decodes `total` bytes a chunk at a time and hands them to the output.
  // `tokens(bits, out, stop, room)` decodes from `out` on until it reaches
  // `stop`, where a copy may run past `stop` but never past `room` bytes from
  // where `out` was; it advances `out` and returns Ok, or why it stopped.
  template <class Tokens>
  LzResult decode(MsbBitReader& in, uint64_t total, Tokens&& tokens) {
    uint64_t left = total;
    uint8_t* out = cursor();
    while (true) {
      uint8_t* const start = out;
      uint8_t* const stop = out + std::min<uint64_t>(left, static_cast<uint64_t>(chunkEnd() - out));
      // A local, not the reader's member: the byte stores could alias it.
      MsbBitReader::Bits bits = in.bits();
      const LzResult result = tokens(bits, out, stop, left);
      in.bits() = bits;
      if (result != LzResult::Ok) return result;
      left -= static_cast<uint64_t>(out - start);
      if (in.overrun()) return LzResult::Overrun;
      if (left == 0) return finish(out) ? LzResult::Ok : LzResult::OutputFailed;
      out = flush(out);
      if (out == nullptr) return LzResult::OutputFailed;
    }
  }

  // Hands out the bytes before `at` and moves the history to the front;
  // returns the new cursor, or nullptr when the output refused the data.
  uint8_t* flush(uint8_t* at);
  // Hands out the bytes before `at`; false when the output refused them.
  bool finish(uint8_t* at);

 private:
  size_t m_chunk;
  std::unique_ptr<uint8_t[]> m_buffer;  // not cleared: only the history before the first byte is read unwritten
  size_t m_reach;
  const uint8_t* m_floor;  // the first byte a copy may read
  Output m_output;
};

}  // namespace rkarc
