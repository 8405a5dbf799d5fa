// The decoder factory; see ArjDecoder.h.
#include "archivers/unarj32j/ArjDecoder.h"

#include "archivers/unarj32j/ArjFastDecoder.h"
#include "archivers/unarj32j/ArjHuffDecoder.h"
#include "archivers/unarj32j/ArjStoredDecoder.h"

namespace rkarc {

void ArjDecoder::fail(int32_t code, std::string reason) {
  if (m_failure != 0) return;
  m_failure = code;
  m_reason = std::move(reason);
}

std::unique_ptr<ArjDecoder> ArjDecoder::create(ArjFile& file, const ArjHeader& header) {
  switch (header.method) {
    case 0: return std::make_unique<ArjStoredDecoder>(file, header);
    case 1:
    case 2:
    case 3: return std::make_unique<ArjHuffDecoder>(file, header);
    case 4: return std::make_unique<ArjFastDecoder>(file, header);
    default: return nullptr;
  }
}

}  // namespace rkarc
