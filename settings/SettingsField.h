// Typed reads and writes of single keys in the settings store, shared by the
// central settings and the windows' placement and folder keys. A read takes
// the stored value, or the default when the key is absent; a value that does
// not convert leaves the field as it was.
#pragma once

#include <cstdint>

#include <QString>

#include "settings/StoreLocation.h"

class SettingsStore;

// True when the field was set (from the store or from the default); false when
// the store could not be read or the value was rejected.
bool ReadBool(SettingsStore& store, const StoreLocation& at, const QString& key, bool defaultValue, bool& field);
bool ReadInt16(SettingsStore& store, const StoreLocation& at, const QString& key, int16_t defaultValue,
               int16_t& field);
bool ReadInt32(SettingsStore& store, const StoreLocation& at, const QString& key, int32_t defaultValue,
               int32_t& field);
bool ReadText(SettingsStore& store, const StoreLocation& at, const QString& key, const QString& defaultValue,
              QString& field);

// True when the store took the value; SettingsStore::sync() tells whether it
// reached the disk.
bool WriteBool(SettingsStore& store, const StoreLocation& at, const QString& key, bool value);
bool WriteInt(SettingsStore& store, const StoreLocation& at, const QString& key, int value);
bool WriteText(SettingsStore& store, const StoreLocation& at, const QString& key, const QString& value);
