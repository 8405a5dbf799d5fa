// The archive kinds the engine dispatches on: 24 extensions compared in a fixed
// order, each with its gate (settings switches and library presence), its
// library, its command form, its option text and its progress line; the .EXE
// probe chain; and the two passes of the four double extensions.
#pragma once

#include <QString>
#include <vector>

#include "engine/ArchiverLibrary.h"

struct Settings;
class Libraries;

enum class CommandForm { Standard, Ish, SingleFile };
enum class KindAction { Call, ProbeExe, ProbeX, ProbeLog, Double };

struct ArchiveKind {
  const char* extension;  // upper case, with its dot
  KindAction action;
  LibraryId library;
  CommandForm form;
  QString Settings::*option;
  int progressMessage;  // product message of the extraction line
  bool (*gate)(const Settings&, const Libraries&);
};

// One kind that a .EXE file is probed for, in chain order.
struct ExeProbe {
  LibraryId library;
  QString Settings::*option;
  int checkMessage;
  int progressMessage;
  bool (*gate)(const Settings&, const Libraries&);
};

// One pass of a double archive.
struct DoublePass {
  LibraryId library;
  QString Settings::*option;
  int message;
};

struct DoubleKind {
  DoublePass first;   // the outer archive (last extension)
  DoublePass second;  // the inner archive (first extension)
};

// The first kind whose extension equals `ext` (upper case), or null.
const ArchiveKind* FindArchiveKind(const QString& ext);
const std::vector<ExeProbe>& ExeProbeChain();
// The passes of a double extension (".LZH.ZIP" ...); `ext` must be one.
DoubleKind DoubleKindOf(const QString& ext);
