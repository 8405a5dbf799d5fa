// A file read as one from its parts: name.001, name.002 ... as 7-Zip's -v
// switch and split -d make them (any number of digits from three on, the
// first part numbered 1). A path whose name ends otherwise is a file of one
// part. Only regular files are taken (RegularFile.h), the parts' sizes are
// taken once at open, and reads never move a shared file position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/UniqueFd.h"

namespace rkarc {

class Report;

class PartedFile {
 public:
  // Opens `path` and the parts that follow it while they exist. False when
  // `path` cannot be opened or a later part is not a regular file; error()
  // then gives errno (see OpenRegularFile), failedPath() the file.
  bool open(const std::string& path);
  // A file already open, of one part.
  void adopt(UniqueFd fd, uint64_t size);

  int error() const { return m_error; }
  const std::string& failedPath() const { return m_failedPath; }
  // The first part's descriptor.
  int fd() const { return m_parts.empty() ? -1 : m_parts.front().fd.get(); }
  uint64_t size() const { return m_size; }
  // Every part's path in order: more than one for a split set.
  const std::vector<std::string>& paths() const { return m_paths; }
  // A part that is not there while a later one is ("name.003"), else empty.
  const std::string& missing() const { return m_missing; }
  // For a split set, the part after the last one found (which a set cut
  // short lacks), else empty.
  const std::string& next() const { return m_next; }

  // Reads up to n bytes at offset, across parts; fewer only where the file
  // ends. -1 on a read error, with errno telling why.
  int64_t readAt(uint64_t offset, void* buffer, size_t n) const;

 private:
  struct Part {
    UniqueFd fd;
    uint64_t start;
    uint64_t size;
  };
  bool add(const std::string& path);

  std::vector<Part> m_parts;
  std::vector<std::string> m_paths;
  std::string m_missing;
  std::string m_next;
  std::string m_failedPath;
  uint64_t m_size = 0;
  int m_error = 0;
};

// For a split set, what the host must know before a command goes on: a part
// missing between two others fails it (kErrMultiVolume, returned, with the
// reason); otherwise the later parts are reported as the volumes of a set,
// which the host takes off its list and moves or deletes together. 0 when
// the command goes on.
int32_t ReportParts(const PartedFile& file, Report& report);
// For an archive whose data runs past the end of the file: when the file is
// a split set, fails the command naming the part after the last one found
// (kErrMultiVolume, returned). 0, reporting nothing, for a file of one part.
int32_t ReportNextPartMissing(const PartedFile& file, Report& report);
// Tells the host the files a set was read from (the first one's path first),
// when there are more than one: their count, then each later file's name (a
// name the report's lines cannot carry is left out; the count shows the gap).
void ReportVolumes(const std::vector<std::string>& paths, Report& report);

}  // namespace rkarc
