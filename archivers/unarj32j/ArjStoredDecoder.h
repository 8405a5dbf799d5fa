// Method 0: the member's data is the file itself (docs/formats/ARJ.md section 4).
#pragma once

#include "archivers/unarj32j/ArjDecoder.h"

namespace rkarc {

class ArjStoredDecoder : public ArjDecoder {
 public:
  ArjStoredDecoder(ArjFile& file, const ArjHeader& header);
  bool decode(const Output& output) override;

 private:
  ArjFile& m_file;
  uint64_t m_next;
  uint64_t m_left;
};

}  // namespace rkarc
