// See OptionBoxes.h.
#include "dialogs/OptionBoxes.h"

#include <iterator>

#include "text/MessageCatalogue.h"

namespace {

using P = ProductMsg;
using S = SharedMsg;

constexpr struct {
  const char* name;
  OptionText caption, tip;
  bool Settings::*field;
} kGeneralRows[] = {
    {"ckbUCase", {P::OptionUCase}, {P::OptionUCaseTip}, &Settings::UCase},
    {"ckbDouble", {P::OptionDouble}, {P::OptionDoubleTip}, &Settings::Double},
    {"ckbAuto", {P::OptionAuto}, {P::OptionAutoTip}, &Settings::Auto},
    {"ckbLog", {S::OptionLogToClipboard}, {S::OptionLogToClipboardTip}, &Settings::AutoLog},
    {"ckbResize", {S::OptionResize}, {S::OptionResizeTip}, &Settings::Resize},
    {"ckbTip", {S::OptionToolTips}, {S::OptionToolTipsTip}, &Settings::Tip},
};

void AddKindBoxes(std::vector<OptionBoxRow>& rows, const FamilyRow& family) {
  rows.push_back({QString::fromLatin1(family.box), {family.caption}, {family.tip}, family.on, family.family, true,
                  family.library});
  for (const ArchiveKind& kind : ArchiveKinds()) {
    if (kind.family != family.family || !kind.sub || (kind.flags & kSpelling)) continue;
    std::optional<LibraryId> library = kind.alsoNeeds ? kind.alsoNeeds : family.library;
    if (kind.flags & kBoxWithoutLibrary) library.reset();
    rows.push_back({kind.boxName(), {kind.extension}, {kind.tip}, kind.sub, family.family, false, library});
  }
}

std::vector<OptionBoxRow> MakeRows() {
  std::vector<OptionBoxRow> rows;
  for (const FamilyRow& family : FamilyRows()) AddKindBoxes(rows, family);
  for (const auto& g : kGeneralRows)
    rows.push_back({QString::fromLatin1(g.name), g.caption, g.tip, g.field, std::nullopt, false, std::nullopt});
  return rows;
}

}  // namespace

QString OptionText::text() const {
  if (const auto* id = std::get_if<ProductMsg>(&source)) return MessageCatalogue::Product(*id);
  if (const auto* id = std::get_if<SharedMsg>(&source)) return MessageCatalogue::Shared(*id);
  return QString::fromLatin1(std::get<const char*>(source));
}

const std::vector<OptionBoxRow>& OptionBoxRows() {
  static const std::vector<OptionBoxRow> rows = MakeRows();
  return rows;
}

int OptionBoxIndex(GeneralBox box) {
  return static_cast<int>(OptionBoxRows().size() - std::size(kGeneralRows)) + static_cast<int>(box);
}
