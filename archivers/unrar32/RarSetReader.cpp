// libarchive over a RAR volume set; see RarSetReader.h.
#include "archivers/unrar32/RarSetReader.h"

#include <zlib.h>

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveHandle.h"

namespace rkarc::rar {
namespace {

void Abort(archive* a, MemberSink& sink) {
  const ArchiveError error = ArchiveError::From(a);
  sink.abort(error.code, error.reason);
}

}  // namespace

void SupportRar(archive* a) {
  archive_read_support_format_rar(a);
  archive_read_support_format_rar5(a);
}

SetWindows::SetWindows(const InputFile& first, const RarStart& start, const VolumeSet& set, Progress* progress) {
  m_windows.push_back(std::make_unique<ArchiveWindow>(first, start.offset, first.size(), progress));
  for (const Volume& volume : set.later())
    m_windows.push_back(
        std::make_unique<ArchiveWindow>(*volume.file, volume.start.offset, volume.file->size(), progress));
  // libarchive's RAR 5 reader looks for the next volume's signature in 512
  // bytes read ahead from the end of a volume, and takes fewer (a small last
  // volume) for the end of the set: zero bytes after the last volume give it
  // the room.
  if (m_windows.size() > 1) m_windows.back()->setTail(std::vector<unsigned char>(512));
}

int SetWindows::open(archive* a) {
  std::vector<ArchiveWindow*> chain;
  for (const auto& w : m_windows) chain.push_back(w.get());
  return ArchiveWindow::OpenChain(a, chain, true);
}

void CopyMember(const InputFile& first, const RarStart& start, const VolumeSet& set, size_t index,
                std::optional<uint32_t> crc, MemberSink& sink) {
  ArchiveHandle a;
  if (!a.get()) return sink.abort(kErrMemory, FailureText(kErrMemory));
  SupportRar(a);
  SetWindows windows(first, start, set, nullptr);
  if (windows.open(a) != ARCHIVE_OK) return Abort(a, sink);
  for (size_t i = 0; i <= index; ++i) {
    archive_entry* entry = nullptr;
    const int r = archive_read_next_header(a, &entry);
    if (r != ARCHIVE_OK) return r == ARCHIVE_EOF ? sink.abort(kErrDamaged, FailureText(kErrDamaged)) : Abort(a, sink);
  }
  uint64_t written = 0;
  uint32_t sum = 0;
  for (;;) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(a, &block, &size, &offset);
    if (r == ARCHIVE_EOF) break;
    if (r != ARCHIVE_OK) return Abort(a, sink);
    if (offset < 0 || static_cast<uint64_t>(offset) != written) return sink.abort(kErrDamaged, FailureText(kErrDamaged));
    if (size == 0) continue;  // zlib would answer 0 for its null block
    if (!sink.write(block, size)) return;
    sum = static_cast<uint32_t>(crc32(sum, static_cast<const Bytef*>(block), static_cast<uInt>(size)));
    written += size;
  }
  if (crc && sum != *crc) return sink.abort(kErrChecksum, FailureText(kErrChecksum));
  sink.commit();
}

}  // namespace rkarc::rar
