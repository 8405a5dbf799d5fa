// What the user is told about the settings files: one message box for every
// fault the store gathered since the last, the removal switch's question and
// its outcome, and the report of a window whose loading failed.
#pragma once

#include <QString>

class QWidget;
class SettingsStore;

// One box for all of the store's faults since the last notice; none without any.
void TellSettingsFaults(QWidget* parent, SettingsStore& store);

// The removal switch "/U": asks (No is the answer given by Enter), removes on
// Yes, and tells a removal that failed with the file, the reason and a command
// that does it. False when the removal failed.
bool RunRemovalSwitch(SettingsStore& store);

// The load failure report ("Rukasu2 frmOption Form_Load ERR") with the
// settings file and how to reset it.
void ShowLoadFailure(QWidget* parent, const QString& report, const SettingsStore& store);
