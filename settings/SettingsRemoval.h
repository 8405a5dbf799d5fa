// Removal of every stored setting, asked for by the command-line switch "/U".
// The main window asks the question; this decides when and removes.
#pragma once

#include <QString>

class SettingsStore;

// True when the whole argument text, upper-cased, is exactly "/U".
bool IsRemovalSwitch(const QString& argumentText);

// The Yes/No question asked before the removal, naming the file it removes.
QString RemovalQuestion(const SettingsStore& store);

// Removes the program's section of the current location with every key of
// every window; the earlier location is left alone. True when it is gone;
// otherwise the store holds the fault, with the file and the reason.
bool RemoveAllSettings(SettingsStore& store);
