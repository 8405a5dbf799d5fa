// The rule for the archive after its extraction; see ArchiveVerdict.h.
#include "engine/ArchiveVerdict.h"

#include "archivers/common/ResultCodes.h"
#include "engine/ModuleReport.h"

ArchiveVerdict JudgeArchive(int32_t rc, const ModuleReport& report) {
  ArchiveVerdict verdict;
  if (rkarc::IsFailure(rc)) {
    verdict.refusal = ProductMsg::LogNotExtracted;
    verdict.unproven = true;
  } else if (!report.keepReasons.isEmpty()) {
    // Data ignored after the end, a member under another name or left out:
    // the archive holds what the output does not.
    verdict.refusal = ProductMsg::LogKeptUnproven;
    verdict.reasons = report.keepReasons;
    verdict.unproven = true;
  } else if (rc != rkarc::kOk) {
    // Members kept out for existing files are found only in the archive.
    verdict.refusal = ProductMsg::LogKeptSkipped;
  } else if (report.volumeCount > 1 && !report.namesWholeSet()) {
    verdict.refusal = ProductMsg::LogSetNotWhole;
  }
  return verdict;
}
