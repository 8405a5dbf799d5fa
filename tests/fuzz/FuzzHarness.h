// What every archiver fuzz harness shares: one work folder per process holding
// the input file, a sentinel file and the output folder. Each input is written
// to the input file with a fresh, empty output folder beside it; after the
// reader ran, check() aborts (a finding) when the sentinel changed, anything
// else appeared in the work folder, or the output folder holds anything but
// folders and plain files without set-ID bits.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"

namespace testing_support {

// Symbolic links in the output: refused outright, or accepted while they
// point inside the output folder (for formats that carry links of their own).
enum class FuzzLinks { Refused, InsideOutput };

class FuzzWorkspace {
 public:
  // Makes $TMPDIR/<module>-fuzz-XXXXXX with the sentinel; the input file is
  // named inputName.
  FuzzWorkspace(const std::string& module, const std::string& inputName, FuzzLinks links = FuzzLinks::Refused)
      : m_inputName(inputName), m_links(links) {
    const char* tmp = std::getenv("TMPDIR");
    m_root = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + module + "-fuzz-XXXXXX";
    if (!mkdtemp(m_root.data())) Finding("cannot make the work folder", m_root);
    m_input = m_root + "/" + inputName;
    m_output = m_root + "/out";
    m_sentinel = m_root + "/sentinel.txt";
    WriteFile(m_sentinel, reinterpret_cast<const uint8_t*>(kSentinelText), std::string(kSentinelText).size());
  }

  const std::string& input() const { return m_input; }
  // The output folder, without a trailing "/".
  const std::string& output() const { return m_output; }

  // Writes the input file and leaves the output folder empty.
  void prepare(const uint8_t* data, size_t size) const {
    WriteFile(m_input, data, size);
    nftw(m_output.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    if (mkdir(m_output.c_str(), 0700) != 0) Finding("cannot make the output folder", m_output);
  }

  // Aborts on anything the reader must never leave behind.
  void check() const {
    if (ReadFile(m_sentinel) != kSentinelText) Finding("the sentinel changed", m_sentinel);
    DIR* dir = opendir(m_root.c_str());
    if (!dir) Finding("cannot read the work folder", m_root);
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != ".." && name != m_inputName && name != "out" && name != "sentinel.txt")
        Finding("written outside the output folder", name);
    }
    closedir(dir);
    checkTree(m_output, 0);
  }

 private:
  static constexpr const char* kSentinelText = "the sentinel must never change";

  [[noreturn]] static void Finding(const char* what, const std::string& path) {
    std::fprintf(stderr, "%s: %s\n", what, path.c_str());
    std::abort();
  }

  static void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) Finding("cannot write", path);
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) Finding("cannot write", path);
    close(fd);
  }

  static std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      char buffer[256];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
      std::fclose(f);
    }
    return text;
  }

  static int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path); }

  // True when a link in a folder `depth` levels below the output folder
  // points outside it.
  static bool Escapes(const std::string& target, int depth) {
    if (target.empty() || target[0] == '/') return true;
    size_t at = 0;
    while (at <= target.size()) {
      const size_t slash = std::min(target.find('/', at), target.size());
      const std::string part = target.substr(at, slash - at);
      if (part == "..")
        --depth;
      else if (!part.empty() && part != ".")
        ++depth;
      if (depth < 0) return true;
      at = slash + 1;
    }
    return false;
  }

  // `depth` counts the folders between the output folder and `path`.
  void checkTree(const std::string& path, int depth) const {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) Finding("cannot stat", path);
    if (S_ISDIR(st.st_mode)) {
      // A folder the writer left read-only must still be walked and removed.
      chmod(path.c_str(), 0700);
      DIR* dir = opendir(path.c_str());
      if (!dir) Finding("cannot read", path);
      while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") checkTree(path + "/" + name, depth + 1);
      }
      closedir(dir);
    } else if (S_ISREG(st.st_mode)) {
      if (st.st_mode & (S_ISUID | S_ISGID)) Finding("set-ID bit on", path);
    } else if (S_ISLNK(st.st_mode) && m_links == FuzzLinks::InsideOutput) {
      char target[4096];
      const ssize_t n = readlink(path.c_str(), target, sizeof target);
      if (n < 0 || Escapes(std::string(target, static_cast<size_t>(n)), depth - 1))
        Finding("link pointing outside the output folder", path);
    } else {
      Finding("not a file or folder", path);
    }
  }

  std::string m_inputName;
  FuzzLinks m_links;
  std::string m_root, m_input, m_output, m_sentinel;
};

// The workspace of a module that may decode large members: a file size
// limit ends them early (EFBIG) instead of filling the disk.
inline const FuzzWorkspace& LimitedWorkspace(const std::string& module, const std::string& inputName,
                                             FuzzLinks links = FuzzLinks::Refused) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit{16u << 20, 16u << 20};
  setrlimit(RLIMIT_FSIZE, &limit);
  static const FuzzWorkspace workspace(module, inputName, links);
  return workspace;
}

// Runs a module's extraction as its command entry point does.
inline int32_t RunCommand(int32_t (*extract)(std::string_view, rkarc::Report&, rkarc::Progress&),
                          const std::string& command) {
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::Progress progress(nullptr, nullptr);
  return extract(command, report, progress);
}

}  // namespace testing_support
