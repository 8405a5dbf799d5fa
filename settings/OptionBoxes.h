// The check boxes of the options dialog as data: name, caption, tool tip, the
// settings field each stands for, its kind group and the archiver library that
// decides whether it can be changed. The dialog is built and driven from this.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include <QString>

#include "engine/ArchiverLibrary.h"
#include "settings/Settings.h"

// A text of the dialog: a number in one of the two message tables, or a fixed text.
struct OptionText {
  enum Source : uint8_t { Product, Shared, Fixed };
  Source source;
  int id;
  const char16_t* fixed;
  QString text() const;
};

// The seven kind groups, each a kind box with its sub-boxes.
enum class OptionKind { Lzh, Zip, Arj, Ish, Cab, Rar, Tar };
inline constexpr int kOptionKindCount = 7;

// Every check box, in the order the dialog copies them into the settings.
enum class OptionBox {
  ckbLZH, ckbLZH_EXE, ckbLZH_X, ckbLZH_LHA,
  ckbZIP, ckbZIP_EXE,
  ckbARJ, ckbARJ_EXE,
  ckbISH, ckbISH_LOG,
  ckbCAB, ckbCAB_EXE,
  ckbRAR, ckbRAR_EXE,
  ckbTAR, ckbTAR_TAR, ckbTAR_TARGZ, ckbTAR_TGZ, ckbTAR_TARZ, ckbTAR_TAZ, ckbTAR_GZ, ckbTAR_Z,
  ckbTAR_TARBZ2, ckbTAR_BZIP2, ckbTAR_BZ2,
  ckbUCase, ckbDouble, ckbAuto, ckbLog, ckbResize, ckbTip,
};
inline constexpr int kOptionBoxCount = 31;

struct OptionBoxRow {
  const char* name;
  OptionText caption;
  OptionText tip;
  bool Settings::*field;
  std::optional<OptionKind> kind;  // none for the boxes outside the kind groups
  bool kindBox;                    // the group's own box, which shows or hides the others
  std::optional<LibraryId> library;  // the library whose presence enables the box; none: always enabled
};

// Indexed by OptionBox.
std::span<const OptionBoxRow> OptionBoxRows();
const OptionBoxRow& OptionBoxRowOf(OptionBox box);
// The panel that holds a kind group's sub-boxes: "pnlLZH" ... "pnlTar".
const char* OptionKindPanelName(OptionKind kind);
