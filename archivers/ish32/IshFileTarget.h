// Where the files decoded from ISH text go. The module hands them to the safe
// writer; reader tests keep them in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archivers/ish32/IshHeader.h"

namespace rkarc {

class IshFileTarget {
 public:
  virtual ~IshFileTarget() = default;

  // A file starts. False: it is not wanted or cannot be written; its records are skipped.
  virtual bool begin(const IshHeader& header) = 0;
  // The next bytes of the file begun last. False: writing failed, stop this file.
  virtual bool write(const uint8_t* data, size_t size) = 0;
  // The file begun last is complete and verified (ok), or unusable.
  virtual void end(bool ok, int32_t code, std::string_view reason) = 0;
  // A file that could not even be begun (a volume set with missing volumes).
  virtual void fail(const IshHeader& header, int32_t code, std::string_view reason) = 0;
  // True when the whole run must stop (full disk, destination not writable).
  virtual bool stopped() const = 0;
};

}  // namespace rkarc
