// The one rule that decides whether an archive may be copied, moved or
// deleted after its extraction: only when its module proved every byte it
// wrote and left nothing out. Modules report what they found; this decides.
#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>

#include "text/MessageIds.h"

struct ModuleReport;

struct ArchiveVerdict {
  // Why the archive must stay where it is; empty when it may be copied,
  // moved or deleted.
  std::optional<ProductMsg> refusal;
  QStringList reasons;     // the module's own words, one line each
  bool unproven = false;   // not proven whole: the extraction does not count as done

  bool mayLeave() const { return !refusal; }
};

// `rc` is the module's result, `report` what it said about the archive.
ArchiveVerdict JudgeArchive(int32_t rc, const ModuleReport& report);
