// Hands a verified decompressed stream (ByteStream) to libarchive through
// its read callback, so that libarchive only ever parses plain tar data.
#pragma once

#include <archive.h>

#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class StreamSource {
 public:
  explicit StreamSource(ByteStream& stream) : m_stream(stream) {}
  int open(archive* a);

 private:
  static la_ssize_t Read(archive* a, void* self, const void** buffer);

  ByteStream& m_stream;
};

}  // namespace rkarc::tar
