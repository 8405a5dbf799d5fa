// Extracts an LZH archive through the safe writer: every member the command
// selects is decoded, its length and CRC-16 verified, and only then committed.
// Members that cannot be delivered (unsupported method, damaged data or
// header) are reported and the others still extracted.
#pragma once

#include <cstdint>
#include <functional>

#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/common/ArchiveFile.h"
#include "archivers/unlha32/LzhHeader.h"
#include "archivers/common/ExtractRequest.h"

namespace rkarc {

class LzhExtractor {
 public:
  // Told (bytes of the archive read so far, archive size).
  using ProgressFn = std::function<void(uint64_t done, uint64_t total)>;

  LzhExtractor(ExtractRequest& request, Report& report) : m_request(request), m_report(report) {}

  // Returns the module's result code.
  int32_t run(const ProgressFn& progress = {});

 private:
  void extract(const ArchiveFile& file, const LzhHeader& header, SafeWriter& writer, const ProgressFn& progress);
  void decodeInto(const ArchiveFile& file, const LzhHeader& header, const Member& member,
                  SafeWriter& writer, const ProgressFn& progress);

  ExtractRequest& m_request;
  Report& m_report;
};

}  // namespace rkarc
