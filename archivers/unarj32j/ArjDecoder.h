// The data of one ARJ member, decoded and handed out piece by piece: the
// common face of the stored, methods 1-3 and method 4 decoders, and the
// factory that picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "archivers/unarj32j/ArjFile.h"
#include "archivers/unarj32j/ArjHeader.h"

namespace rkarc {

class ArjDecoder {
 public:
  // Receives decoded data; returns false to stop.
  using Output = std::function<bool(const uint8_t* data, size_t size)>;

  virtual ~ArjDecoder() = default;

  // Decodes the member's data to its original size into `output`. False when
  // it failed (failure() says why) or the output refused the data.
  virtual bool decode(const Output& output) = 0;

  // 0 while all is well; kErrDamaged for bad data, kErrArchiveOpen for a read error.
  int32_t failure() const { return m_failure; }
  const std::string& reason() const { return m_reason; }

  // A decoder for the member's method (0-4), or nullptr for any other method.
  static std::unique_ptr<ArjDecoder> create(ArjFile& file, const ArjHeader& header);

 protected:
  void fail(int32_t code, std::string reason);

 private:
  int32_t m_failure = 0;
  std::string m_reason;
};

}  // namespace rkarc
