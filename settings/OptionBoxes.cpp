// See OptionBoxes.h.
#include "settings/OptionBoxes.h"

#include <iterator>

#include "text/MessageCatalogue.h"

namespace {

constexpr OptionText P(int id) { return {OptionText::Product, id, nullptr}; }
constexpr OptionText S(int id) { return {OptionText::Shared, id, nullptr}; }

constexpr struct {
  const char* name;
  OptionText caption, tip;
  bool Settings::*field;
} kGeneralRows[] = {
    {"ckbUCase", P(8036), P(8039), &Settings::UCase},
    {"ckbDouble", P(8037), P(8040), &Settings::Double},
    {"ckbAuto", P(8038), P(8041), &Settings::Auto},
    {"ckbLog", S(8060), S(8061), &Settings::AutoLog},
    {"ckbResize", S(8056), S(8057), &Settings::Resize},
    {"ckbTip", S(8058), S(8059), &Settings::Tip},
};

void AddKindBoxes(std::vector<OptionBoxRow>& rows, const FamilyRow& family) {
  rows.push_back({QString::fromLatin1(family.box), P(family.caption), P(family.tip), family.on, family.family, true,
                  family.library});
  for (const ArchiveKind& kind : ArchiveKinds()) {
    if (kind.family != family.family || !kind.sub) continue;
    std::optional<LibraryId> library = kind.alsoNeeds ? kind.alsoNeeds : family.library;
    if (kind.flags & kBoxWithoutLibrary) library.reset();
    rows.push_back({kind.boxName(), {OptionText::Fixed, 0, kind.extension}, P(kind.tip), kind.sub, family.family,
                    false, library});
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
  switch (source) {
    case Product:
      return MessageCatalogue::Product(id);
    case Shared:
      return MessageCatalogue::Shared(id);
    case Fixed:
      return QString::fromLatin1(fixed);
  }
  return {};
}

const std::vector<OptionBoxRow>& OptionBoxRows() {
  static const std::vector<OptionBoxRow> rows = MakeRows();
  return rows;
}

int OptionBoxIndex(GeneralBox box) {
  return static_cast<int>(OptionBoxRows().size() - std::size(kGeneralRows)) + static_cast<int>(box);
}
