// libFuzzer target for UNRAR32.DLL's reader: each input is probed and
// extracted into a fresh folder through the module's command; links inside
// the output folder are RAR's own and allowed.
#include <cstdint>
#include <string>

#include "archivers/unrar32/RarReader.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace& w =
      testing_support::LimitedWorkspace("unrar32", "in.rar", testing_support::FuzzLinks::InsideOutput);
  w.prepare(data, size);
  (void)rkarc::rar::CanExtract(w.input());
  testing_support::RunCommand(rkarc::rar::Extract, "-x \"" + w.input() + "\" \"" + w.output() + "/\"");
  w.check();
  return 0;
}
