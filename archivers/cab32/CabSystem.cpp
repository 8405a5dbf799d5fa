// libmspack I/O through a window of the archive file; see CabSystem.h.
#include "archivers/cab32/CabSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "archivers/common/RegularFile.h"

namespace rkarc {

struct CabSystem::Handle {
  CabSystem* owner;
  const Window* cabinet;  // being read; null for the member being written
  uint64_t position;      // in the cabinet window
};

CabSystem::Handle* CabSystem::AsHandle(mspack_file* file) { return reinterpret_cast<Handle*>(file); }

CabSystem::CabSystem(std::vector<Window> cabinets) : m_cabinets(std::move(cabinets)) {
  for (size_t i = 0; i < m_cabinets.size(); ++i) m_names.push_back("cabinet" + std::to_string(i));
  m_system.base = mspack_system{&Open, &Close, &Read, &Write, &Seek, &Tell,
                                &Message, &Alloc, &Free, &Copy, nullptr};
  m_system.owner = this;
}

mspack_file* CabSystem::Open(mspack_system* self, const char* name, int mode) {
  CabSystem* owner = reinterpret_cast<System*>(self)->owner;
  const std::string_view which(name ? name : "");
  const Window* cabinet = nullptr;
  for (size_t i = 0; i < owner->m_names.size() && !cabinet; ++i)
    if (which == owner->m_names[i]) cabinet = &owner->m_cabinets[i];
  if (cabinet ? mode != MSPACK_SYS_OPEN_READ
              : which != kMemberName || mode != MSPACK_SYS_OPEN_WRITE || !owner->m_output)
    return nullptr;  // libmspack opens nothing else through us
  auto* handle = new (std::nothrow) Handle{owner, cabinet, 0};
  return reinterpret_cast<mspack_file*>(handle);
}

void CabSystem::Close(mspack_file* file) { delete AsHandle(file); }

int CabSystem::Read(mspack_file* file, void* buffer, int bytes) {
  Handle* h = AsHandle(file);
  CabSystem* owner = h->owner;
  const Window* cab = h->cabinet;
  if (!cab || bytes < 0) return -1;
  if (h->position >= cab->length) return 0;
  const size_t want = static_cast<size_t>(
      std::min<uint64_t>(static_cast<uint64_t>(bytes), cab->length - h->position));
  // A file that shrank gives a short read, which libmspack sees as such.
  const int64_t done = ReadAt(cab->fd, cab->base + h->position, buffer, want);
  if (done < 0) {
    owner->m_readError = errno;
    return -1;
  }
  h->position += static_cast<uint64_t>(done);
  if (owner->m_observer) owner->m_observer(cab->before + cab->base + h->position);
  return static_cast<int>(done);
}

int CabSystem::Write(mspack_file* file, void* buffer, int bytes) {
  Handle* h = AsHandle(file);
  const Output* output = h->owner->m_output;
  if (h->cabinet || output == nullptr || bytes < 0) return -1;
  if (bytes > 0 && !(*output)(buffer, static_cast<size_t>(bytes))) return -1;
  return bytes;
}

int CabSystem::Seek(mspack_file* file, off_t offset, int mode) {
  Handle* h = AsHandle(file);
  if (!h->cabinet) return -1;
  int64_t origin = 0;
  if (mode == MSPACK_SYS_SEEK_CUR) origin = static_cast<int64_t>(h->position);
  else if (mode == MSPACK_SYS_SEEK_END) origin = static_cast<int64_t>(h->cabinet->length);
  else if (mode != MSPACK_SYS_SEEK_START) return -1;
  const int64_t target = origin + static_cast<int64_t>(offset);
  if (target < 0 || static_cast<uint64_t>(target) > h->cabinet->length) return -1;
  h->position = static_cast<uint64_t>(target);
  return 0;
}

off_t CabSystem::Tell(mspack_file* file) { return static_cast<off_t>(AsHandle(file)->position); }

// libmspack's warnings would go to the terminal; the reader reports its own.
void CabSystem::Message(mspack_file*, const char*, ...) {}

void* CabSystem::Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void CabSystem::Free(void* pointer) { std::free(pointer); }
void CabSystem::Copy(void* source, void* destination, size_t bytes) {
  std::memcpy(destination, source, bytes);
}

}  // namespace rkarc
