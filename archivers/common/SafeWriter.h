// The one place where archiver modules touch the disk. A reader turns each
// archive member into a Member (name bytes, type, size, mode, time) and its
// data, and hands them here. The writer guarantees, for every module:
//
// - nothing is created outside the output folder: absolute names, drive
//   letters, "..", and backslash separators are resolved on the decoded name;
//   no component is ever followed through a symbolic link; a symbolic link is
//   created only when its target stays inside; a hard link only to a file this
//   extraction created; no devices, FIFOs or sockets; no set-user-ID,
//   set-group-ID or sticky bits; the umask applies; no owners, ACLs or xattrs;
// - names are UTF-8 when declared so or valid UTF-8, otherwise CP932 (a 0x5C
//   trail byte stays in its character); control characters are replaced; a
//   component over 255 bytes or a path over 4095 bytes is refused;
// - members whose names differ but meet on disk never replace each other:
//   the later takes a numbered name, with a note and a keep line (README.md);
// - an existing file that this extraction did not create is kept (skipped and
//   counted) unless Options::overwrite; a file is written under a temporary
//   name and takes its real name only on commit(), so a failed member never
//   leaves a partial file and never damages the file it would replace;
// - ENOSPC/EDQUOT/EFBIG end the run with kErrDiskFull, EROFS/EACCES/EPERM with
//   kErrNotWritable; every other member that is not written whole records a
//   failure code of its own and a report line naming the member and the reason;
// - after a failure, the folders it made that are still empty go again;
// - a folder member whose mode lacks some of u+rwx (a read-only folder) is
//   made with u+rwx, filled, and given its mode when the writer ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "archivers/common/Report.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc {

// How the name bytes of a member are to be read.
enum class NameCharset {
  Auto,   // UTF-8 when the bytes are valid UTF-8, otherwise CP932
  Utf8,   // the archive says UTF-8 (invalid bytes then fall back to CP932)
  Cp932,  // the archive says CP932 / Shift_JIS
};

enum class MemberType { File, Directory, Symlink, Hardlink, Other };

struct Member {
  std::string name;  // bytes as stored; both '/' and '\\' separate components
  NameCharset charset = NameCharset::Auto;
  MemberType type = MemberType::File;
  uint64_t size = 0;             // declared size of the data (informational)
  uint32_t mode = 0;             // permission bits as stored; 0 when the archive keeps none
  std::optional<int64_t> mtime;  // seconds since 1970-01-01 UTC
  std::string linkTarget;        // Symlink and Hardlink: bytes as stored, same charset
};

class MemberSink;
class MemberSinkImpl;

class SafeWriter {
 public:
  struct Options {
    bool overwrite = false;  // replace existing files that this extraction did not create
    bool flatten = false;    // drop the folder part of every member name
  };

  // outputFolder is an existing folder (UTF-8 path, as given in the command).
  SafeWriter(const std::string& outputFolder, Options options, Report& report);
  ~SafeWriter();
  SafeWriter(const SafeWriter&) = delete;
  SafeWriter& operator=(const SafeWriter&) = delete;

  // False when the output folder cannot be used; result() then says why.
  bool ready() const;

  // Folders, links and other non-file members are handled whole here and give
  // nullptr. A file member gives a sink for its data, or nullptr when it is
  // not written (kept existing file, refused name, or the run has stopped).
  std::unique_ptr<MemberSink> begin(const Member& member);

  // A member the reader cannot deliver (encrypted, unsupported method, bad header).
  void fail(const Member& member, int32_t code, std::string_view reason);
  // A failure of the archive as a whole (truncated, damaged structure).
  void failArchive(int32_t code, std::string_view reason);

  // True after a full disk or a refused destination: the reader must stop.
  bool stopped() const;

  // Removes every file and link this writer placed and the folders it made
  // that are empty again; returns how many files and links went. For a reader
  // that learns only at the end (a trailing checksum) that the data it wrote
  // members from was damaged. Files replaced under Options::overwrite cannot
  // come back, so such a reader checks first when overwrite is asked for.
  size_t rollBack();

  // The first failure code; otherwise the number of kept existing files
  // (at most 0x7FFF); otherwise 0.
  int32_t result() const;

  // The safe relative UTF-8 path the writer would use for these name bytes,
  // or an empty string when such a name is refused. Exposed for listing and tests.
  static std::string SafeRelativePath(std::string_view name, NameCharset charset);
  // The name bytes decoded as the writer decodes them, with control characters
  // replaced: what report lines about a member show.
  static std::string PrintableName(std::string_view name, NameCharset charset);

  struct State;  // internal

 private:
  std::unique_ptr<State> m_state;
  friend class MemberSinkImpl;
};

class MemberSink {
 public:
  explicit MemberSink(std::unique_ptr<MemberSinkImpl> impl);
  ~MemberSink();  // neither committed nor aborted: the member counts as failed
  MemberSink(const MemberSink&) = delete;
  MemberSink& operator=(const MemberSink&) = delete;

  // Appends data. False when writing failed: the writer has recorded why; stop
  // feeding this member and check SafeWriter::stopped().
  bool write(const void* data, size_t size);
  // Appends `size` zero bytes as a hole (a sparse member): they take no room
  // where the file system keeps holes, and read as zeros everywhere.
  bool hole(uint64_t size);
  // The member was read to its end and its checksum verified: it takes its name.
  bool commit();
  // The member is unusable (damaged, checksum mismatch): its data is discarded.
  void abort(int32_t code, std::string_view reason);

 private:
  std::unique_ptr<MemberSinkImpl> m_impl;
};

}  // namespace rkarc
