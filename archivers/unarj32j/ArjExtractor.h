// Extracts an ARJ archive through the safe writer: walks the headers, refuses
// what cannot be delivered whole (garbled, multi-volume, unknown methods),
// decodes the rest and commits a member only after its CRC-32 matched.
#pragma once

#include <cstdint>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/unarj32j/ArjArchive.h"

namespace rkarc {

class ArjExtractor {
 public:
  ArjExtractor(ExtractRequest& request, Report& report, Progress& progress);

  // The module's result code: the archive's own failure, or the writer's result.
  int32_t run();

  // How the writer sees a member's header: name bytes and charset, type, mode, time.
  static Member ToMember(const ArjHeader& header);

 private:
  // False when the walk cannot go on (the member's data runs past the file's end).
  bool extract(ArjArchive& archive, SafeWriter& writer, const ArjHeader& header);
  void decode(ArjArchive& archive, SafeWriter& writer, const ArjHeader& header, const Member& member);

  ExtractRequest& m_request;
  Report& m_report;
  Progress& m_progress;
};

}  // namespace rkarc
