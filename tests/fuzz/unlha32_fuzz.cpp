// libFuzzer harness for the LZH reader: each input is located as the program
// probes an .EXE and extracted through the safe writer; FuzzWorkspace checks
// what the extraction left behind. LZH archives carry symbolic links, so links
// that stay inside the output folder are accepted.
#include <cstdint>
#include <string>

#include "archivers/common/ArchiveFile.h"
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Report.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhExtractor.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace& w =
      testing_support::LimitedWorkspace("unlha32", "in.lzh", testing_support::FuzzLinks::InsideOutput);
  w.prepare(data, size);

  {
    rkarc::ArchiveFile file;
    if (file.open(w.input())) rkarc::ArchiveLocator(file).find();
  }
  rkarc::ExtractRequest request;
  request.archive = w.input();
  request.output = w.output() + "/";
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::LzhExtractor(request, report).run();
  w.check();
  return 0;
}
