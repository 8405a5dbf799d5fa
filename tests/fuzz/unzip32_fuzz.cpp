// libFuzzer target for UNZIP32.DLL's reader: each input is probed as the
// program probes an .EXE and extracted into a fresh folder through the
// module's command; FuzzWorkspace checks what the extraction left behind.
// ZIP carries symbolic links (Unix attributes): those inside the output folder are allowed.
#include <cstdint>
#include <string>

#include "archivers/unzip32/ZipReader.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace& w = testing_support::LimitedWorkspace("unzip32", "in.zip", testing_support::FuzzLinks::InsideOutput);
  w.prepare(data, size);
  (void)rkarc::zip::CanExtract(w.input());
  testing_support::RunCommand(rkarc::zip::Extract, "-x \"" + w.input() + "\" \"" + w.output() + "/\"");
  w.check();
  return 0;
}
