// See SettingsRemoval.h.
#include "settings/SettingsRemoval.h"

#include "settings/SettingsStore.h"
#include "settings/StoreLocation.h"
#include "text/MessageCatalogue.h"

bool IsRemovalSwitch(const QString& argumentText) { return argumentText.toUpper() == QLatin1String("/U"); }

QString RemovalQuestion() {
  return MessageCatalogue::Product(ProductMsg::RemovalQuestionHead) +
         MessageCatalogue::Shared(SharedMsg::RemovalQuestion);
}

bool RemoveAllSettings(SettingsStore& store) {
  const StoreLocation current = CurrentLocation();
  return store.removeSection(current.application, current.section);
}
