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
  bool output;       // the member being written, else the cabinet being read
  uint64_t position;  // in the cabinet window
};

CabSystem::Handle* CabSystem::AsHandle(mspack_file* file) { return reinterpret_cast<Handle*>(file); }

CabSystem::CabSystem(int fd, uint64_t base, uint64_t length)
    : m_fd(fd), m_base(base), m_length(length) {
  m_system.base = mspack_system{&Open, &Close, &Read, &Write, &Seek, &Tell,
                                &Message, &Alloc, &Free, &Copy, nullptr};
  m_system.owner = this;
}

mspack_file* CabSystem::Open(mspack_system* self, const char* name, int mode) {
  CabSystem* owner = reinterpret_cast<System*>(self)->owner;
  const std::string_view which(name ? name : "");
  bool output = false;
  if (which == kCabinetName && mode == MSPACK_SYS_OPEN_READ) {
    output = false;
  } else if (which == kMemberName && mode == MSPACK_SYS_OPEN_WRITE && owner->m_output) {
    output = true;
  } else {
    return nullptr;  // libmspack opens nothing else through us
  }
  auto* handle = new (std::nothrow) Handle{owner, output, 0};
  return reinterpret_cast<mspack_file*>(handle);
}

void CabSystem::Close(mspack_file* file) { delete AsHandle(file); }

int CabSystem::Read(mspack_file* file, void* buffer, int bytes) {
  Handle* h = AsHandle(file);
  CabSystem* owner = h->owner;
  if (h->output || bytes < 0) return -1;
  if (h->position >= owner->m_length) return 0;
  const size_t want = static_cast<size_t>(
      std::min<uint64_t>(static_cast<uint64_t>(bytes), owner->m_length - h->position));
  // A file that shrank gives a short read, which libmspack sees as such.
  const int64_t done = ReadAt(owner->m_fd, owner->m_base + h->position, buffer, want);
  if (done < 0) {
    owner->m_readError = errno;
    return -1;
  }
  h->position += static_cast<uint64_t>(done);
  if (owner->m_observer) owner->m_observer(owner->m_base + h->position);
  return static_cast<int>(done);
}

int CabSystem::Write(mspack_file* file, void* buffer, int bytes) {
  Handle* h = AsHandle(file);
  const Output* output = h->owner->m_output;
  if (!h->output || output == nullptr || bytes < 0) return -1;
  if (bytes > 0 && !(*output)(buffer, static_cast<size_t>(bytes))) return -1;
  return bytes;
}

int CabSystem::Seek(mspack_file* file, off_t offset, int mode) {
  Handle* h = AsHandle(file);
  if (h->output) return -1;
  int64_t origin = 0;
  if (mode == MSPACK_SYS_SEEK_CUR) origin = static_cast<int64_t>(h->position);
  else if (mode == MSPACK_SYS_SEEK_END) origin = static_cast<int64_t>(h->owner->m_length);
  else if (mode != MSPACK_SYS_SEEK_START) return -1;
  const int64_t target = origin + static_cast<int64_t>(offset);
  if (target < 0 || static_cast<uint64_t>(target) > h->owner->m_length) return -1;
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
