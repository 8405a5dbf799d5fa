// libFuzzer target for SEVENZIP32.DLL's reader: each input is probed and
// extracted into a fresh folder through the module's command; links inside
// the output folder are 7z's own and allowed.
#include <cstdint>
#include <string>

#include "archivers/sevenzip32/SevenZipReader.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace& w =
      testing_support::LimitedWorkspace("sevenzip32", "in.7z", testing_support::FuzzLinks::InsideOutput);
  w.prepare(data, size);
  (void)rkarc::sevenzip::CanExtract(w.input());
  testing_support::RunCommand(rkarc::sevenzip::Extract, "x \"" + w.input() + "\" \"" + w.output() + "/\"");
  w.check();
  return 0;
}
