// See SettingsField.h. Defaults pass through the same text form as stored
// values, so a default and a stored value of the same text read alike.
#include "settings/SettingsField.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsValue.h"

namespace {

template <typename T, typename Convert>
bool ReadConverted(SettingsStore& store, const StoreLocation& at, const QString& key, const QString& defaultText,
                   T& field, Convert convert) {
  const auto text = store.read(at.application, at.section, key, defaultText);
  if (!text) return false;
  const auto value = convert(*text);
  if (!value) return false;
  field = *value;
  return true;
}

}  // namespace

bool ReadBool(SettingsStore& store, const StoreLocation& at, const QString& key, bool defaultValue, bool& field) {
  return ReadConverted(store, at, key, BoolToText(defaultValue), field, BoolFromText);
}

bool ReadInt16(SettingsStore& store, const StoreLocation& at, const QString& key, int16_t defaultValue,
               int16_t& field) {
  return ReadConverted(store, at, key, IntToText(defaultValue), field, Int16FromText);
}

bool ReadInt32(SettingsStore& store, const StoreLocation& at, const QString& key, int32_t defaultValue,
               int32_t& field) {
  return ReadConverted(store, at, key, IntToText(defaultValue), field, Int32FromText);
}

bool ReadText(SettingsStore& store, const StoreLocation& at, const QString& key, const QString& defaultValue,
              QString& field) {
  const auto text = store.read(at.application, at.section, key, defaultValue);
  if (!text) return false;
  field = *text;
  return true;
}

bool WriteBool(SettingsStore& store, const StoreLocation& at, const QString& key, bool value) {
  return store.write(at.application, at.section, key, BoolToText(value));
}

bool WriteInt(SettingsStore& store, const StoreLocation& at, const QString& key, int value) {
  return store.write(at.application, at.section, key, IntToText(value));
}

bool WriteText(SettingsStore& store, const StoreLocation& at, const QString& key, const QString& value) {
  return store.write(at.application, at.section, key, value);
}
