// libarchive read callback over a ByteStream; see StreamSource.h.
#include "archivers/tar32/StreamSource.h"

#include "archivers/libarchive/ArchiveError.h"

namespace rkarc::tar {

int StreamSource::open(archive* a) {
  archive_read_set_read_callback(a, &StreamSource::Read);
  archive_read_set_callback_data(a, this);
  return archive_read_open1(a);
}

la_ssize_t StreamSource::Read(archive* a, void* self, const void** buffer) {
  auto* s = static_cast<StreamSource*>(self);
  const int64_t n = s->m_stream.readView(buffer);
  if (n < 0) {
    ArchiveError::SetCallbackError(a, s->m_stream.errorCode(), s->m_stream.errorReason());
    return -1;
  }
  return static_cast<la_ssize_t>(n);
}

}  // namespace rkarc::tar
