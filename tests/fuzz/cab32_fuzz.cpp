// libFuzzer target for CAB32.DLL's reader: each input is probed as the
// program probes an .EXE and extracted through the safe writer the way the
// module does it; FuzzWorkspace checks what the extraction left behind.
#include <cstdint>
#include <string>

#include "archivers/cab32/CabExtraction.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Report.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace w("cab32", "input.cab");
  w.prepare(data, size);

  {
    rkarc::CabReader probe;
    (void)probe.open(w.input(), false);
  }
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::ExtractRequest request;
  request.archive = w.input();
  request.output = w.output() + "/";
  rkarc::CabExtraction(request, report, nullptr).run();
  w.check();
  return 0;
}
