// One coder of a 7z folder as a stage of the folder's decoding: it pulls from
// the stages nearer the pack streams and hands out exactly the size the
// header gives its output. The first failure of any stage is the folder's.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

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

}  // namespace rkarc::sevenzip
