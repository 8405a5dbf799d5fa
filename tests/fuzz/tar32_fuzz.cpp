// libFuzzer target for TAR32.DLL's reader: each input goes through the tar
// form (members written as the stream decodes, taken back when a checksum
// at the end fails), the tar form with overwriting (checked first), and
// the single-file form. Links inside the output folder are tar's own.
#include <cstdint>
#include <string>

#include "archivers/tar32/TarReader.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace& w =
      testing_support::LimitedWorkspace("tar32", "in.tgz", testing_support::FuzzLinks::InsideOutput);
  const std::string archive = "\"" + w.input() + "\" ";
  for (const char* command : {"-xfo ", "-xfo --overwrite ", "-Gxf "}) {
    w.prepare(data, size);
    if (command[3] == ' ') (void)rkarc::tar::CanExtract(w.input());
    const std::string output = command[1] == 'G' ? w.output() + "/single" : w.output() + "/";
    testing_support::RunCommand(rkarc::tar::Extract, command + archive + "\"" + output + "\"");
    w.check();
  }
  return 0;
}
