// The data of one ARJ member, decoded on demand: the common face of the
// stored, methods 1-3 and method 4 decoders, and the factory that picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "archivers/unarj32j/ArjFile.h"
#include "archivers/unarj32j/ArjHeader.h"

namespace rkarc {

class ArjDecoder {
 public:
  virtual ~ArjDecoder() = default;

  // Up to n bytes of the member's original data; fewer only at its end (the
  // original size) or after a failure.
  virtual size_t read(uint8_t* out, size_t n) = 0;

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
