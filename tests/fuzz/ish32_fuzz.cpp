// libFuzzer target of the ISH reader: the input is written to a text file and
// decoded through the safe writer; FuzzWorkspace checks what the decoding left
// behind.
#include <cstdint>
#include <string>

#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/ish32/IshExtractor.h"
#include "archivers/ish32/IshReader.h"
#include "tests/fuzz/FuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const testing_support::FuzzWorkspace w("ish32", "in.ish");
  w.prepare(data, size);

  rkarc::IshReader::IsIshText(w.input());
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  {
    rkarc::SafeWriter writer(w.output() + "/", {}, report);
    rkarc::MemberMatcher everything;
    rkarc::IshExtractor target(writer, report, everything);
    rkarc::IshReader reader(w.input(), target);
    reader.run();
    writer.result();
  }
  w.check();
  return 0;
}
