// One coder of a 7z folder as a stage of the folder's decoding: it pulls from
// the stages nearer the pack streams and hands out exactly the size the
// header gives its output. The first failure of any stage is the folder's.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archivers/common/ResultCodes.h"

namespace rkarc::sevenzip {

struct Failure {
  int32_t code = 0;
  std::string reason;
};

inline constexpr const char* kCut = "データが途中で切れています";

class Stage {
 public:
  Stage(std::shared_ptr<Failure> failure, uint64_t size) : m_failure(std::move(failure)), m_left(size) {}
  virtual ~Stage() = default;

  // Up to `n` bytes; 0 once the stage's size was handed out; -1 on failure.
  int64_t read(uint8_t* out, size_t n) {
    if (m_failure->code != 0) return -1;
    if (m_left == 0) return 0;
    const int64_t got = decode(out, static_cast<size_t>(std::min<uint64_t>(n, m_left)));
    if (got < 0) return -1;
    if (got == 0) return fail(kErrDamaged, kCut);
    m_left -= static_cast<uint64_t>(got);
    return got;
  }

 protected:
  // Up to `n` bytes; 0 where the coder's stream ended; -1 after fail().
  virtual int64_t decode(uint8_t* out, size_t n) = 0;
  int64_t fail(int32_t code, std::string reason) {
    if (m_failure->code == 0) *m_failure = {code, std::move(reason)};
    return -1;
  }
  std::shared_ptr<Failure> m_failure;

 private:
  uint64_t m_left;
};

// How much a stage asks of the one below it at a time.
inline constexpr size_t kStageInput = 64 * 1024;

// A stage that decodes what the stage below hands out, through a buffer
// (with three bytes of room before it for a header of the stage's own).
class BufferedStage : public Stage {
 public:
  BufferedStage(std::shared_ptr<Failure> f, uint64_t size, std::unique_ptr<Stage> below)
      : Stage(std::move(f), size), m_below(std::move(below)), m_in(kStageInput + 3) {}

 protected:
  // Refills the buffer when it is empty; false after a failure below.
  bool refill() {
    if (m_avail > 0 || m_belowEnded) return true;
    const int64_t got = m_below->read(m_in.data(), kStageInput);
    if (got < 0) return false;
    m_belowEnded = got == 0;
    m_next = m_in.data();
    m_avail = static_cast<size_t>(got);
    return true;
  }
  void used(size_t n) {
    m_next += n;
    m_avail -= n;
  }

  std::unique_ptr<Stage> m_below;
  std::vector<uint8_t> m_in;
  uint8_t* m_next = nullptr;
  size_t m_avail = 0;
  bool m_belowEnded = false;
};

}  // namespace rkarc::sevenzip
