// libFuzzer target for UNARJ32J.DLL's reader: each input is written to a file,
// probed as the program probes an .EXE, and extracted through the safe writer
// into a fresh output folder the way the module does it. A sentinel file
// beside the output folder must stay as it is, and nothing but files and
// folders may appear; anything else aborts the run as a finding.
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <zlib.h>

#include "archivers/common/Module.h"
#include "archivers/common/Report.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjExtractor.h"
#include "archivers/unarj32j/ArjRequest.h"

namespace {

constexpr const char* kSentinelText = "the sentinel must never change";
// Methods 1-3 can legitimately expand a few bytes into megabytes; inputs that
// declare more than this would only measure the disk, so they are walked but
// not extracted.
constexpr uint32_t kMaxDeclaredSize = 16u << 20;

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
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/unarj32j-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    Workspace w{pattern, pattern + "/input.arj", pattern + "/out", pattern + "/sentinel.txt"};
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
    if (name != "." && name != ".." && name != "input.arj" && name != "out" && name != "sentinel.txt") {
      std::fprintf(stderr, "written outside the output folder: %s\n", name.c_str());
      std::abort();
    }
  }
  closedir(dir);
  nftw(w.output.c_str(), CheckEntry, 16, FTW_PHYS);
}

uint32_t Le(const std::vector<uint8_t>& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | d[at + static_cast<size_t>(i)];
  return v;
}

// Header CRC-32s would stop almost every mutation of a header field at the
// first check; recomputing them lets the fuzzer reach the fields themselves.
// The CRC checks are covered by the unit tests.
void FixHeaderCrcs(std::vector<uint8_t>& d) {
  size_t pos = 0;
  while (pos + 1 < d.size() && !(d[pos] == 0x60 && d[pos + 1] == 0xEA)) ++pos;
  while (pos + 4 <= d.size() && d[pos] == 0x60 && d[pos + 1] == 0xEA) {
    const size_t basic = Le(d, pos + 2, 2);
    if (basic == 0 || basic > 2600 || pos + 4 + basic + 6 > d.size()) return;
    const uint32_t crc = static_cast<uint32_t>(::crc32(0, d.data() + pos + 4, static_cast<uInt>(basic)));
    for (size_t i = 0; i < 4; ++i) d[pos + 4 + basic + i] = static_cast<uint8_t>(crc >> (8 * i));
    if (Le(d, pos + 4 + basic + 4, 2) != 0) return;  // extended headers: leave them as they are
    const bool main = basic > 6 && d[pos + 4 + 6] == 2;
    pos += 4 + basic + 6 + (main || basic < 16 ? 0 : Le(d, pos + 4 + 12, 4));
  }
}

// The probe's walk; false when a member declares more than kMaxDeclaredSize.
bool ProbeAndMeasure(const std::string& path) {
  rkarc::ArjArchive archive;
  if (archive.open(path) != rkarc::kOk) return true;
  rkarc::ArjHeader member;
  while (archive.next(member) == rkarc::ArjArchive::Step::Member)
    if (member.originalSize > kMaxDeclaredSize) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Workspace& w = TheWorkspace();
  std::vector<uint8_t> input(data, data + size);
  FixHeaderCrcs(input);
  WriteFile(w.input, input.data(), input.size());
  if (!ProbeAndMeasure(w.input)) return 0;
  nftw(w.output.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  if (mkdir(w.output.c_str(), 0755) != 0) std::abort();

  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::ArjRequest request;
  if (rkarc::ArjRequest::Parse("x -+ \"" + w.input + "\" \"" + w.output + "/\"", report, request) != rkarc::kOk)
    std::abort();
  rkarc::Progress progress(nullptr, nullptr);
  rkarc::ArjExtractor(request, report, progress).run();
  CheckOutside(w);
  return 0;
}
