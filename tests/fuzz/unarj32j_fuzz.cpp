// libFuzzer target for UNARJ32J.DLL's reader: each input is probed as the
// program probes an .EXE and extracted through the safe writer the way the
// module does it; FuzzWorkspace checks what the extraction left behind.
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/Report.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjExtractor.h"
#include "tests/fuzz/FuzzHarness.h"

namespace {

// Methods 1-3 can legitimately expand a few bytes into megabytes; inputs that
// declare more than this would only measure the disk, so they are walked but
// not extracted.
constexpr uint32_t kMaxDeclaredSize = 16u << 20;

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
  static const testing_support::FuzzWorkspace w("unarj32j", "input.arj");
  std::vector<uint8_t> input(data, data + size);
  FixHeaderCrcs(input);
  w.prepare(input.data(), input.size());
  if (!ProbeAndMeasure(w.input())) return 0;

  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::ExtractRequest request;
  request.archive = w.input();
  request.output = w.output() + "/";
  rkarc::Progress progress(nullptr, nullptr);
  rkarc::ArjExtractor(request, report, progress).run();
  w.check();
  return 0;
}
