// One message table: entries sorted by number, looked up by binary search.
// The tables are constant data, so nothing is built at start-up; a QString is
// made only for the text that is asked for.
#pragma once

#include <algorithm>
#include <span>

#include <QString>

// Id is ProductMsg or SharedMsg (text/MessageIds.h).
template <typename Id>
struct MessageEntry {
  Id id;
  const char16_t* text;
};

// True when the numbers rise strictly, which the binary search relies on and
// which keeps a number from being listed twice. Used in static_assert.
template <typename Id>
constexpr bool IsStrictlyAscending(std::span<const MessageEntry<Id>> table) {
  return std::adjacent_find(table.begin(), table.end(), [](const MessageEntry<Id>& a, const MessageEntry<Id>& b) {
           return a.id >= b.id;
         }) == table.end();
}

// The text of the entry `id`, or the empty text when the table holds none.
template <typename Id>
QString LookUpMessage(std::span<const MessageEntry<Id>> table, Id id) {
  const auto found = std::lower_bound(table.begin(), table.end(), id,
                                      [](const MessageEntry<Id>& entry, Id wanted) { return entry.id < wanted; });
  if (found == table.end() || found->id != id) return {};
  return QString::fromUtf16(found->text);
}
