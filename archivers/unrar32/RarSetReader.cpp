// libarchive over a RAR volume set; see RarSetReader.h.
#include "archivers/unrar32/RarSetReader.h"

#include <zlib.h>

#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveError.h"
#include "archivers/libarchive/ArchiveHandle.h"
#include "archivers/libarchive/EntryExtractor.h"

namespace rkarc::rar {
namespace {

uint32_t Crc32(const std::vector<unsigned char>& p) {
  return static_cast<uint32_t>(crc32(0, p.data(), static_cast<uInt>(p.size())));
}

void PutVint(std::vector<unsigned char>& out, uint64_t value) {
  do {
    out.push_back(static_cast<unsigned char>((value & 0x7F) | (value > 0x7F ? 0x80 : 0)));
    value >>= 7;
  } while (value != 0);
}

// libarchive 3.6 stops at a RAR 5 main header whose extra area holds a
// record other than the locator (RAR's archive name and time, records of
// later versions), and reads on from where its fields end rather than from
// where the header ends. Gives the signature and main header rewritten
// without the extra area and any bytes after the fields, none of which
// extraction needs, and sets `replaced` to the length of what they stand
// for; empty when there is nothing to do.
std::vector<unsigned char> PlainMain5(const InputFile& file, uint64_t at, uint64_t& replaced) {
  unsigned char h[8 + 4 + 3 + 256];
  const int64_t got = file.readAt(at, h, sizeof h);
  uint64_t size = 0, type = 0, flags = 0, extraSize = 0, archiveFlags = 0, number = 0;
  const size_t used = got > 12 ? ReadVint(h + 12, 3, size) : 0;
  if (used == 0 || 12 + used + size > static_cast<uint64_t>(got)) return {};
  const unsigned char* p = h + 12 + used;
  const unsigned char* end = p + size;
  for (uint64_t* field : {&type, &flags}) {
    const size_t n = ReadVint(p, static_cast<size_t>(end - p), *field);
    if (n == 0) return {};
    p += n;
  }
  if (type != 1 || (flags & 0x02)) return {};  // a main header with a data area is not RAR's
  if (flags & 0x01) {
    const size_t n = ReadVint(p, static_cast<size_t>(end - p), extraSize);
    if (n == 0) return {};
    p += n;
  }
  const size_t n = ReadVint(p, static_cast<size_t>(end - p), archiveFlags);
  if (n == 0) return {};
  p += n;
  const size_t m = (archiveFlags & 0x02) ? ReadVint(p, static_cast<size_t>(end - p), number) : 0;
  if ((archiveFlags & 0x02) && m == 0) return {};
  if (p + m == end) return {};  // nothing after the fields libarchive reads
  std::vector<unsigned char> body;
  PutVint(body, 1);
  PutVint(body, flags & ~uint64_t{0x03});
  PutVint(body, archiveFlags);
  if (archiveFlags & 0x02) PutVint(body, number);
  std::vector<unsigned char> sized;
  PutVint(sized, body.size());
  sized.insert(sized.end(), body.begin(), body.end());
  std::vector<unsigned char> out(h, h + 8);
  const uint32_t crc = Crc32(sized);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(crc >> (8 * i)));
  out.insert(out.end(), sized.begin(), sized.end());
  replaced = 12 + used + size;
  return out;
}

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
  add(first, start, progress);
  for (const Volume& volume : set.later()) add(*volume.file, volume.start, progress);
  // libarchive's RAR 5 reader looks for the next volume's signature in 512
  // bytes read ahead from the end of a volume, and takes fewer (a small last
  // volume) for the end of the set: zero bytes after the last volume give it
  // the room.
  if (m_windows.size() > 1) m_windows.back()->setTail(std::vector<unsigned char>(512));
}

void SetWindows::add(const InputFile& file, const RarStart& start, Progress* progress) {
  auto window = std::make_unique<ArchiveWindow>(file, start.offset, file.size(), progress);
  uint64_t replaced = 0;
  if (start.version == 5) {
    std::vector<unsigned char> head = PlainMain5(file, start.offset, replaced);
    if (!head.empty()) window->setHead(std::move(head), replaced);
  }
  m_windows.push_back(std::move(window));
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
  const EntryData data = CopyEntryData(a, sink, false, true);
  if (data.end != EntryData::End::Read) return;
  if (crc && data.crc != *crc) return sink.abort(kErrChecksum, FailureText(kErrChecksum));
  sink.commit();
}

}  // namespace rkarc::rar
