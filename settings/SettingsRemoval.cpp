// See SettingsRemoval.h.
#include "settings/SettingsRemoval.h"

#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"
#include "text/MessageCatalogue.h"

bool IsRemovalSwitch(const QString& argumentText) { return argumentText.toUpper() == QLatin1String("/U"); }

QString RemovalQuestion(const SettingsStore& store) {
  const StoreLocation current = CurrentLocation();
  return MessageCatalogue::Product(ProductMsg::RemovalQuestionHead) +
         MessageCatalogue::Shared(SharedMsg::RemovalQuestion) + u'\n' +
         store.filePath(current.application, current.section);
}

bool RemoveAllSettings(SettingsStore& store) {
  const StoreLocation current = CurrentLocation();
  return store.removeSection(current.application, current.section);
}
