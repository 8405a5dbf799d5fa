// The check boxes of the options dialog as data: name, caption, tool tip, the
// settings field each stands for, its kind group and the archiver library that
// decides whether it can be changed. The kind boxes come from the kind table
// (engine/ArchiveKinds.h), the general boxes are listed here. The dialog is
// built and driven from this.
#pragma once

#include <optional>
#include <variant>
#include <vector>

#include <QString>

#include "engine/ArchiveKinds.h"
#include "settings/Settings.h"

// A text of the dialog: a message of one of the two tables, or a fixed Latin-1 text.
struct OptionText {
  std::variant<ProductMsg, SharedMsg, const char*> source;
  QString text() const;
};

// The boxes outside the kind groups.
enum class GeneralBox { ckbUCase, ckbDouble, ckbAuto, ckbLog, ckbResize, ckbTip };

struct OptionBoxRow {
  QString name;
  OptionText caption;
  OptionText tip;
  bool Settings::*field;
  std::optional<KindFamily> kind;  // none for the general boxes
  bool kindBox;                    // the group's own box, which shows or hides the others
  std::optional<LibraryId> library;  // the library whose presence enables the box; none: always enabled
};

// The kind boxes, group by group (each group's own box first), then the
// general boxes in GeneralBox order.
const std::vector<OptionBoxRow>& OptionBoxRows();
// The index of a general box in OptionBoxRows().
int OptionBoxIndex(GeneralBox box);
