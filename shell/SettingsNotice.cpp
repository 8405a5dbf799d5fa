// See SettingsNotice.h.
#include "shell/SettingsNotice.h"

#include "settings/SettingsFault.h"
#include "settings/SettingsRemoval.h"
#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"
#include "ui/MessageBox.h"

void TellSettingsFaults(QWidget* parent, SettingsStore& store) {
  const QString message = SettingsFaultMessage(store.takeFaults());
  if (!message.isEmpty()) MessageBox::Notice(parent, message);
}

bool RunRemovalSwitch(SettingsStore& store) {
  if (!MessageBox::Ask(nullptr, RemovalQuestion(store), false)) return true;
  if (RemoveAllSettings(store)) return true;
  TellSettingsFaults(nullptr, store);
  return false;
}

void ShowLoadFailure(QWidget* parent, const QString& report, const SettingsStore& store) {
  const StoreLocation current = CurrentLocation();
  MessageBox::Notice(parent, LoadFailureText(report, store.filePath(current.application, current.section)));
}
