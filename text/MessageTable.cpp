// See MessageTable.h.
#include "text/MessageTable.h"

QString LookUpMessage(std::span<const MessageEntry> table, int id) {
  const auto found = std::lower_bound(table.begin(), table.end(), id,
                                      [](const MessageEntry& entry, int wanted) { return entry.id < wanted; });
  if (found == table.end() || found->id != id) return {};
  return QString::fromUtf16(found->text);
}
