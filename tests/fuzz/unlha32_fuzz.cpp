// libFuzzer harness for the LZH reader: each input is written to a file and
// extracted through the safe writer into a fresh output folder beside a
// sentinel file. Aborts when the sentinel changes or when anything but
// files and folders appears, or anything outside the output folder.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archivers/common/Report.h"
#include "archivers/unlha32/ArchiveFile.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhExtractor.h"
#include "archivers/unlha32/LzhOptions.h"

namespace {

const char kSentinel[] = "sentinel";

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) abort();
  if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) abort();
  close(fd);
}

// True when a link `depth` folders below the output folder points outside it.
bool Escapes(const std::string& target, int depth) {
  if (target.empty() || target[0] == '/') return true;
  size_t at = 0;
  while (at <= target.size()) {
    const size_t slash = std::min(target.find('/', at), target.size());
    const std::string part = target.substr(at, slash - at);
    if (part == "..") --depth;
    else if (!part.empty() && part != ".") ++depth;
    if (depth < 0) return true;
    at = slash + 1;
  }
  return false;
}

// Removes a tree, aborting on anything that is neither a file nor a folder,
// apart from symbolic links that stay inside the output folder (the writer
// makes those for the archive's own links).
void Sweep(const std::string& path, int depth) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) abort();
  if (S_ISDIR(st.st_mode)) {
    chmod(path.c_str(), 0700);
    DIR* dir = opendir(path.c_str());
    if (!dir) abort();
    while (dirent* e = readdir(dir)) {
      if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
      Sweep(path + "/" + e->d_name, depth + 1);
    }
    closedir(dir);
    rmdir(path.c_str());
  } else if (S_ISREG(st.st_mode)) {
    if (st.st_mode & (S_ISUID | S_ISGID)) abort();
    unlink(path.c_str());
  } else if (S_ISLNK(st.st_mode)) {
    char target[4096];
    const ssize_t n = readlink(path.c_str(), target, sizeof target);
    if (n < 0 || Escapes(std::string(target, static_cast<size_t>(n)), depth - 1)) abort();
    unlink(path.c_str());
  } else {
    abort();
  }
}

std::string Base() {
  static const std::string base = [] {
    // Decoded members may be large; a file size limit ends them early (EFBIG).
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16u << 20, 16u << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/unlha32-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) abort();
    return pattern;
  }();
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string base = Base();
  const std::string archive = base + "/in.lzh";
  const std::string run = base + "/run";
  WriteFile(archive, data, size);
  mkdir(run.c_str(), 0700);
  mkdir((run + "/out").c_str(), 0700);
  WriteFile(run + "/sentinel", reinterpret_cast<const uint8_t*>(kSentinel), sizeof kSentinel);

  {
    rkarc::ArchiveFile file;
    if (file.open(archive)) rkarc::ArchiveLocator(file).find();
  }
  rkarc::LzhOptions options;
  options.archive = archive;
  options.outputFolder = run + "/out/";
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::LzhExtractor(options, report).run();

  char check[sizeof kSentinel] = {};
  const int fd = open((run + "/sentinel").c_str(), O_RDONLY);
  if (fd < 0 || read(fd, check, sizeof check) != static_cast<ssize_t>(sizeof check) ||
      memcmp(check, kSentinel, sizeof check) != 0)
    abort();
  close(fd);
  unlink((run + "/sentinel").c_str());
  Sweep(run + "/out", 0);
  // Only the output folder and the sentinel may have been in the run folder.
  if (rmdir(run.c_str()) != 0) abort();
  return 0;
}
