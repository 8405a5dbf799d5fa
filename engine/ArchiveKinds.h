// The archive kinds, in one table that the engine's dispatch, the source file
// pane's pattern, the options dialog's kind boxes and the folder names of
// two-part extensions (.TAR.GZ, .LZH.ZIP) all read. A family is one module with
// its switch (a group of the options dialog); a kind is one extension of a
// family, with a switch of its own unless the family switch alone decides.
// A new extension is one row of kKinds; a new module adds a row of kFamilies.
#pragma once

#include <QString>
#include <optional>
#include <span>

#include "engine/ArchiverLibrary.h"
#include "text/MessageIds.h"

struct Settings;
class Libraries;

// In the order of the options dialog's groups.
enum class KindFamily { Lzh, Zip, Arj, Ish, Cab, Rar, SevenZip, Tar };
inline constexpr int kKindFamilyCount = 8;

// How the command names the archive and the output.
enum class CommandForm { Standard, Ish, SingleFile };

struct FamilyRow {
  KindFamily family;
  LibraryId library;
  bool Settings::*on;   // the family's switch
  const char* box;      // its box in the options dialog ("ckbLZH"); a kind's box adds "_" and its extension
  const char* panel;    // the panel of the kinds' boxes ("pnlLZH")
  ProductMsg caption, tip;  // of the box
  ProductMsg progressMessage;  // the result log line of an extraction
  std::optional<ProductMsg> checkMessage;  // the line of a probe; none when no kind of it is probed
  // The lines of a double archive's outer and inner pass; none when it is never part of one.
  std::optional<ProductMsg> outerPassMessage, innerPassMessage;
};

enum KindFlag : unsigned {
  kProbed = 1,             // tried only when the module recognises the file (.EXE, .X, .LOG)
  kOtherName = 2,          // another name the family's archives come under: listed after the others in the pattern
  kBoxWithoutLibrary = 4,  // the kind's box can be changed when the family's module is absent
  kSpelling = 8,           // another usual name of a kind (.TBZ2 for .TAR.BZ2): its switch, no box of its own
};

struct ArchiveKind {
  const char* extension;  // upper case, with its dot
  KindFamily family;
  bool Settings::*sub;  // the kind's own switch; null: the family switch alone
  ProductMsg tip;       // the tool tip of the kind's box (with `sub`)
  QString Settings::*option;  // the options of its command
  unsigned flags = 0;
  CommandForm form = CommandForm::Standard;
  std::optional<LibraryId> alsoNeeds = std::nullopt;  // a second module the kind needs (BZ2LIB.DLL)
  const char* pattern = nullptr;  // its entry in the pattern when not "*" + extension

  const FamilyRow& familyRow() const;
  // Its switches set and its modules present.
  bool on(const Settings& settings, const Libraries& libraries) const;
  QString patternEntry() const;
  // The options dialog's name of its box ("ckbTAR_TARGZ"); only with `sub`.
  QString boxName() const;
};

// An archive inside an archive, extracted in two passes (".LZH.ZIP": a .ZIP
// holding a .LZH of the same name; ".TAR.XZ.ZIP": a .ZIP holding a .TAR.XZ).
struct DoubleKind {
  const char* inner;  // the extensions of two kinds
  const char* outer;

  const ArchiveKind& innerKind() const;
  const ArchiveKind& outerKind() const;
  QString extension() const;  // inner + outer, ".LZH.ZIP"
  // The Double switch set and both kinds on.
  bool on(const Settings& settings, const Libraries& libraries) const;
};

std::span<const FamilyRow> FamilyRows();
const FamilyRow& FamilyRowOf(KindFamily family);
// Every kind in table order, which is the order of the source pane's pattern
// and, family by family, of the options dialog's boxes. Several kinds of one
// extension (.EXE) are probed in this order.
std::span<const ArchiveKind> ArchiveKinds();
std::span<const DoubleKind> DoubleKinds();

// The double kind of an upper-case extension (".LZH.ZIP"), or null.
const DoubleKind* FindDoubleKind(const QString& ext);
// The length of the longest extension of several parts that the name ends
// with in any letter case, leaving at least one character before it: with
// `twoPart` a kind's own (".TAR.GZ"), with `doubles` a double kind's
// (".TAR.XZ.ZIP"); 0 when there is none.
qsizetype CompoundExtensionLength(QStringView name, bool twoPart, bool doubles);
