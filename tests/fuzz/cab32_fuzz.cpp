// libFuzzer target for CAB32.DLL's reader: each input is written to a file
// and extracted through the safe writer into a fresh output folder, the way
// the module does it, and probed as the program probes an .EXE. A sentinel
// file beside the output folder must stay as it is, and nothing but files and
// folders may appear; anything else aborts the run as a finding.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archivers/cab32/CabExtraction.h"
#include "archivers/cab32/CabJob.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/Report.h"

namespace {

constexpr const char* kSentinelText = "the sentinel must never change";

struct Workspace {
  std::string root, input, output, sentinel;
};

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
}

std::string ReadFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

const Workspace& TheWorkspace() {
  static const Workspace workspace = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cab32-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    Workspace w{pattern, pattern + "/input.cab", pattern + "/out", pattern + "/sentinel.txt"};
    WriteFile(w.sentinel, reinterpret_cast<const uint8_t*>(kSentinelText), std::string(kSentinelText).size());
    return w;
  }();
  return workspace;
}

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return ::remove(path); }

// Aborts on anything in the tree that is not a plain file or folder.
int CheckEntry(const char* path, const struct stat* info, int, FTW*) {
  if (!S_ISREG(info->st_mode) && !S_ISDIR(info->st_mode)) {
    std::fprintf(stderr, "not a file or folder: %s\n", path);
    std::abort();
  }
  if (info->st_mode & (S_ISUID | S_ISGID)) {
    std::fprintf(stderr, "set-id bit on %s\n", path);
    std::abort();
  }
  return 0;
}

void CheckOutside(const Workspace& w) {
  if (ReadFile(w.sentinel) != kSentinelText) {
    std::fprintf(stderr, "the sentinel changed\n");
    std::abort();
  }
  DIR* dir = opendir(w.root.c_str());
  if (!dir) std::abort();
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name != "input.cab" && name != "out" && name != "sentinel.txt") {
      std::fprintf(stderr, "written outside the output folder: %s\n", name.c_str());
      std::abort();
    }
  }
  closedir(dir);
  nftw(w.output.c_str(), CheckEntry, 16, FTW_PHYS);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Workspace& w = TheWorkspace();
  WriteFile(w.input, data, size);
  nftw(w.output.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  if (mkdir(w.output.c_str(), 0755) != 0) std::abort();

  {
    rkarc::CabReader probe;
    (void)probe.open(w.input, false);
  }
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::CabJob job;
  std::string reason;
  if (!job.parse("-x -n \"" + w.input + "\" \"" + w.output + "/\"", &reason)) std::abort();
  rkarc::CabExtraction(job, report, nullptr).run();
  CheckOutside(w);
  return 0;
}
