// One extraction by CAB32.DLL: opens the cabinet, hands every wanted member
// to the safe writer with its data, and turns what happened into the result
// code. Members are decoded folder by folder in data order, so that libmspack
// never has to decode a folder from its start more than it must.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "archivers/cab32/CabReader.h"
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {

class CabExtraction {
 public:
  // progress may be null.
  CabExtraction(ExtractRequest& request, Report& report, Progress* progress);
  int32_t run();

  // The writer's view of a cabinet file entry.
  static Member ToMember(const CabFileEntry& file);

 private:
  std::vector<size_t> decodingOrder() const;
  void extractMember(size_t index, SafeWriter& writer);
  uint64_t decodeBudget() const;
  // Counts the decoding a member costs; false when it would exceed the budget.
  bool withinBudget(const CabFileEntry& file, size_t folder);

  ExtractRequest& m_request;
  Report& m_report;
  Progress* m_progress;
  CabReader m_reader;

  // Where libmspack stands: the folder it decodes and how far, or no folder
  // after a failure made the reader start afresh.
  std::optional<size_t> m_folder;
  uint64_t m_decodedTo = 0;
  uint64_t m_decodeWork = 0;  // bytes decoded so far, counting restarts
  uint64_t m_budget = 0;
  // The first failure in each folder: later members of that folder fail too.
  std::vector<std::optional<CabError>> m_folderFailure;
};

}  // namespace rkarc
