// Mapping of errno values to result codes; see WriteFailure.h.
#include "archivers/common/WriteFailure.h"

#include <cerrno>
#include <cstring>

#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

// The symbolic name ("EIO") rather than strerror(), whose text follows the locale.
std::string ErrnoName(int err) {
  const char* name = strerrorname_np(err);
  return name ? std::string(name) : "errno " + std::to_string(err);
}

}  // namespace

bool WriteFailure::stopsRun() const { return code == kErrDiskFull || code == kErrNotWritable; }

WriteFailure WriteFailure::FromErrno(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return {kErrDiskFull, "ディスクの空きが足りません（" + ErrnoName(err) + "）"};
    case EROFS:
    case EACCES:
    case EPERM:
      return {kErrNotWritable, "解凍先に書き込みできません（" + ErrnoName(err) + "）"};
    default:
      return {kErrWrite, "書き込みに失敗しました（" + ErrnoName(err) + "）"};
  }
}

}  // namespace rkarc
