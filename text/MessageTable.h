// One message table: entries sorted by number, looked up by binary search.
// The tables are constant data, so nothing is built at start-up; a QString is
// made only for the text that is asked for.
#pragma once

#include <algorithm>
#include <span>

#include <QString>

struct MessageEntry {
  int id;
  const char16_t* text;
};

// True when the numbers rise strictly, which the binary search relies on and
// which keeps a number from being listed twice. Used in static_assert.
constexpr bool IsStrictlyAscending(std::span<const MessageEntry> table) {
  return std::adjacent_find(table.begin(), table.end(), [](const MessageEntry& a, const MessageEntry& b) {
           return a.id >= b.id;
         }) == table.end();
}

// The text of the entry numbered id, or the empty text when the table holds none.
QString LookUpMessage(std::span<const MessageEntry> table, int id);
