// libFuzzer harness for the LZH reader: each input is located as the program
// probes an .EXE and extracted through the safe writer; FuzzWorkspace checks
// what the extraction left behind. LZH archives carry symbolic links, so links
// that stay inside the output folder are accepted.
#include <signal.h>
#include <sys/resource.h>

#include <cstdint>
#include <string>

#include "archivers/common/Report.h"
#include "archivers/unlha32/ArchiveFile.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhExtractor.h"
#include "archivers/unlha32/LzhOptions.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

const testing_support::FuzzWorkspace& Workspace() {
  static const testing_support::FuzzWorkspace workspace = [] {
    // Decoded members may be large; a file size limit ends them early (EFBIG).
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16u << 20, 16u << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    return testing_support::FuzzWorkspace("unlha32", "in.lzh", testing_support::FuzzLinks::InsideOutput);
  }();
  return workspace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const testing_support::FuzzWorkspace& w = Workspace();
  w.prepare(data, size);

  {
    rkarc::ArchiveFile file;
    if (file.open(w.input())) rkarc::ArchiveLocator(file).find();
  }
  rkarc::LzhOptions options;
  options.archive = w.input();
  options.outputFolder = w.output() + "/";
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::LzhExtractor(options, report).run();
  w.check();
  return 0;
}
