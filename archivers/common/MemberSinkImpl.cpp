// File member data for the safe writer; see MemberSinkImpl.h.
#include "archivers/common/MemberSinkImpl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "archivers/common/WriterState.h"

namespace rkarc {

MemberSinkImpl::MemberSinkImpl(SafeWriter::State& state, Target target)
    : m_state(&state), m_target(std::move(target)) {
  m_state->liveSinks.insert(this);
}

MemberSinkImpl::~MemberSinkImpl() {
  if (m_state && m_phase == Phase::Open) {
    discard();
    m_state->fail(m_target.display, kErrInternal, "書き込みが途中で終わりました");
  }
  if (m_state) m_state->liveSinks.erase(this);
}

void MemberSinkImpl::detach() {
  if (m_phase == Phase::Open) discard();
  m_state = nullptr;
}

void MemberSinkImpl::discard() {
  m_phase = Phase::Finished;
  m_target.file.reset();
  if (!m_target.temporary.empty()) unlinkat(m_target.folder.get(), m_target.temporary.c_str(), 0);
}

void MemberSinkImpl::failErrno(int err) {
  discard();
  m_state->failErrno(m_target.display, err);
}

bool MemberSinkImpl::write(const void* data, size_t size) {
  if (!m_state || m_phase != Phase::Open) return false;
  if (m_state->stop) {  // another member filled the disk meanwhile
    discard();
    return false;
  }
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(m_target.file.get(), p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failErrno(errno);
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool MemberSinkImpl::commit() {
  if (!m_state || m_phase != Phase::Open) return false;
  const int fd = m_target.file.get();
  if (m_target.mtime) {
    const timespec times[2] = {{static_cast<time_t>(*m_target.mtime), 0}, {static_cast<time_t>(*m_target.mtime), 0}};
    futimens(fd, times);  // a time the file system cannot hold is no reason to lose the data
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    failErrno(errno);
    return false;
  }
  if (m_target.temporary.empty()) {
    if (!placeUnnamed(st)) return false;
    m_state->remember(m_target.key, st);
    return true;
  }
  // close() is where some file systems (NFS, quotas) report a full disk.
  if (::close(m_target.file.release()) != 0 && errno != EINTR) {
    failErrno(errno);
    return false;
  }
  m_phase = Phase::Finished;
  if (!m_state->place(m_target.folder.get(), m_target.temporary, m_target.leaf, m_target.replace,
                      m_target.display))
    return false;
  m_state->remember(m_target.key, st);
  return true;
}

// The name is given before close(), which needs the open descriptor; a
// close that then fails takes the name back from the file it was given to.
bool MemberSinkImpl::placeUnnamed(const struct stat& st) {
  m_phase = Phase::Finished;
  const int folder = m_target.folder.get();
  if (!m_state->placeUnnamed(m_target.file.get(), folder, m_target.leaf, m_target.display)) {
    m_target.file.reset();
    return false;
  }
  if (::close(m_target.file.release()) != 0 && errno != EINTR) {
    const int err = errno;
    struct stat named {};
    if (fstatat(folder, m_target.leaf.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == st.st_dev &&
        named.st_ino == st.st_ino)
      unlinkat(folder, m_target.leaf.c_str(), 0);
    m_state->failErrno(m_target.display, err);
    return false;
  }
  return true;
}

void MemberSinkImpl::abort(int32_t code, std::string_view reason) {
  if (!m_state || m_phase != Phase::Open) return;
  discard();
  m_state->fail(m_target.display, code, reason);
}

}  // namespace rkarc
