// File member data for the safe writer; see MemberSinkImpl.h.
#include "archivers/common/MemberSinkImpl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

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
  m_target.file.discard();
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
  m_endsInHole = false;
  return writeData(data, size);
}

bool MemberSinkImpl::writeData(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(m_target.file.fd(), p, size);
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

// Seeking past the end leaves a hole that the next write (or the last byte
// written at commit) closes; a file system without holes fills it with
// zeros itself. An offset the file system cannot hold fails there as EFBIG.
bool MemberSinkImpl::hole(uint64_t size) {
  if (!m_state || m_phase != Phase::Open) return false;
  if (m_state->stop) {
    discard();
    return false;
  }
  if (size == 0) return true;
  const off_t at = lseek(m_target.file.fd(), 0, SEEK_CUR);
  if (at < 0 || size > static_cast<uint64_t>(std::numeric_limits<off_t>::max() - at) ||
      lseek(m_target.file.fd(), static_cast<off_t>(size), SEEK_CUR) < 0) {
    failErrno(at < 0 ? errno : EFBIG);
    return false;
  }
  m_endsInHole = true;
  return true;
}

bool MemberSinkImpl::commit() {
  if (!m_state || m_phase != Phase::Open) return false;
  const int fd = m_target.file.fd();
  // A last hole becomes part of the file through its last byte, a zero.
  if (m_endsInHole) {
    if (lseek(fd, -1, SEEK_CUR) < 0) {
      failErrno(errno);
      return false;
    }
    if (!writeData("", 1)) return false;
  }
  if (m_target.mtime) {
    const timespec times[2] = {{static_cast<time_t>(*m_target.mtime), 0}, {static_cast<time_t>(*m_target.mtime), 0}};
    futimens(fd, times);  // a time the file system cannot hold is no reason to lose the data
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    failErrno(errno);
    return false;
  }
  m_phase = Phase::Finished;
  const int err = m_target.file.place(m_target.leaf, m_state->unnamedFiles);
  if (err != 0) {
    m_state->placementFailed(m_target.display, err, m_target.replace);
    return false;
  }
  m_state->remember(m_target.key, m_target.identity, st);
  return true;
}

void MemberSinkImpl::abort(int32_t code, std::string_view reason) {
  if (!m_state || m_phase != Phase::Open) return;
  discard();
  m_state->fail(m_target.display, code, reason);
}

}  // namespace rkarc
