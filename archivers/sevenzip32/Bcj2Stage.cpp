// The BCJ2 decoder; see Bcj2Stage.h. Its probabilities and range coder are
// LZMA's: 11-bit probabilities moved by 1/32, normalised below 2^24.
#include "archivers/sevenzip32/Bcj2Stage.h"

#include <vector>

namespace rkarc::sevenzip {
namespace {

// Bytes of one input, taken one at a time through a buffer.
class Bytes {
 public:
  explicit Bytes(std::unique_ptr<Stage> stage) : m_stage(std::move(stage)), m_buffer(64 * 1024) {}
  // False where the input ends or fails.
  bool next(uint8_t& byte) {
    if (m_at == m_end) {
      const int64_t got = m_stage->read(m_buffer.data(), m_buffer.size());
      if (got <= 0) return false;
      m_at = 0;
      m_end = static_cast<size_t>(got);
    }
    byte = m_buffer[m_at++];
    return true;
  }

 private:
  std::unique_ptr<Stage> m_stage;
  std::vector<uint8_t> m_buffer;
  size_t m_at = 0, m_end = 0;
};

class Bcj2Stage : public Stage {
 public:
  Bcj2Stage(std::shared_ptr<Failure> f, uint64_t size, std::array<std::unique_ptr<Stage>, 4> inputs)
      : Stage(std::move(f), size),
        m_size(size),
        m_main(std::move(inputs[0])),
        m_call(std::move(inputs[1])),
        m_jump(std::move(inputs[2])),
        m_rc(std::move(inputs[3])) {
    m_probs.fill(kTotal / 2);
  }

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    if (!m_started && !start()) return -1;
    size_t done = 0;
    while (done < n) {
      if (m_pending > 0) {
        out[done++] = m_target[4 - m_pending--];
        continue;
      }
      uint8_t b = 0;
      if (!m_main.next(b)) break;
      out[done++] = b;
      ++m_total;
      // No bit is coded for an opcode that ends the data.
      if (!IsBranch(m_previous, b) || m_total == m_size) {
        m_previous = b;
        continue;
      }
      int bit = 0;
      if (!this->bit(b == 0xE8 ? m_previous : b == 0xE9 ? 256 : 257, bit)) return -1;
      if (bit == 0) {
        m_previous = b;
        continue;
      }
      uint32_t absolute = 0;
      Bytes& from = b == 0xE8 ? m_call : m_jump;
      for (int i = 0; i < 4; ++i) {
        uint8_t t = 0;
        if (!from.next(t)) return done > 0 ? static_cast<int64_t>(done) : fail(kErrDamaged, kCut);
        absolute = absolute << 8 | t;
      }
      const uint32_t relative = absolute - static_cast<uint32_t>(m_total + 4);
      for (int i = 0; i < 4; ++i) m_target[i] = static_cast<uint8_t>(relative >> (8 * i));
      m_total += 4;
      m_pending = 4;
      m_previous = m_target[3];
    }
    return m_failure->code != 0 ? -1 : static_cast<int64_t>(done);
  }

 private:
  static constexpr uint32_t kTotal = 1u << 11, kTop = 1u << 24;

  static bool IsBranch(uint8_t previous, uint8_t b) {
    return (b & 0xFE) == 0xE8 || (previous == 0x0F && (b & 0xF0) == 0x80);
  }

  bool start() {
    m_started = true;
    for (int i = 0; i < 5; ++i) {
      uint8_t b = 0;
      if (!m_rc.next(b)) return fail(kErrDamaged, kCut), false;
      m_code = m_code << 8 | b;
    }
    return true;
  }

  bool bit(int index, int& bit) {
    uint16_t& p = m_probs[static_cast<size_t>(index)];
    const uint32_t bound = (m_range >> 11) * p;
    if (m_code < bound) {
      m_range = bound;
      p = static_cast<uint16_t>(p + ((kTotal - p) >> 5));
      bit = 0;
    } else {
      m_range -= bound;
      m_code -= bound;
      p = static_cast<uint16_t>(p - (p >> 5));
      bit = 1;
    }
    if (m_range < kTop) {
      uint8_t b = 0;
      if (!m_rc.next(b)) return fail(kErrDamaged, kCut), false;
      m_range <<= 8;
      m_code = m_code << 8 | b;
    }
    return true;
  }

  uint64_t m_size;
  Bytes m_main, m_call, m_jump, m_rc;
  std::array<uint16_t, 258> m_probs{};
  bool m_started = false;
  uint32_t m_range = 0xFFFFFFFF, m_code = 0;
  uint64_t m_total = 0;  // bytes handed out or pending
  uint8_t m_previous = 0;
  uint8_t m_target[4] = {};
  int m_pending = 0;
};

}  // namespace

std::unique_ptr<Stage> MakeBcj2Stage(std::shared_ptr<Failure> failure, uint64_t size,
                                     std::array<std::unique_ptr<Stage>, 4> inputs) {
  return std::make_unique<Bcj2Stage>(std::move(failure), size, std::move(inputs));
}

}  // namespace rkarc::sevenzip
