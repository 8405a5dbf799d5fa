// The bit input and history of methods 1-4; see ArjLzDecoder.h.
#include "archivers/unarj32j/ArjLzDecoder.h"

#include "archivers/common/ResultCodes.h"

namespace rkarc {

ArjLzDecoder::ArjLzDecoder(ArjFile& file, const ArjHeader& header)
    : m_in([&file](uint64_t offset, uint8_t* buffer, size_t size) { return file.readAt(offset, buffer, size); },
           header.dataOffset, header.dataOffset + header.compressedSize),
      m_size(header.originalSize) {}

bool ArjLzDecoder::decode(const Output& output) {
  LzWindow window(kWindowSize, std::nullopt, m_size, output);
  const LzResult result = run(m_in, window, m_size);
  if (m_in.readError()) {
    fail(kErrArchiveOpen, "書庫を読めません");
    return false;
  }
  switch (result) {
    case LzResult::Ok: return true;
    case LzResult::OutputFailed: return false;
    case LzResult::BadTable: fail(kErrDamaged, "圧縮データが壊れています（ハフマン表が不正です）"); break;
    case LzResult::Overrun: fail(kErrDamaged, "データが途中で切れています"); break;
    case LzResult::BadCode:
    case LzResult::BadCopy: fail(kErrDamaged, "圧縮データが壊れています"); break;
  }
  return false;
}

}  // namespace rkarc
