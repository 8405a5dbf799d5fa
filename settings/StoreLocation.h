// Where the program's keys live in the settings store: the current location
// (application key "Velmont Soft") and the earlier one (application key
// "Rukasu2"), both in section "Rukasu2", and the probe that picks one.
#pragma once

#include <QString>

class SettingsStore;

struct StoreLocation {
  QString application;
  QString section;
};

StoreLocation CurrentLocation();
StoreLocation EarlierLocation();

// Where a window reads its keys from: the earlier location while it holds the
// window's left placement key (leftKey) with a value other than -9999, else
// the current location. Writes always go to the current location.
StoreLocation PlacementLocation(SettingsStore& store, const QString& leftKey);
