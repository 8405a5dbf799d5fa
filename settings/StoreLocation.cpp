// See StoreLocation.h.
#include "settings/StoreLocation.h"

#include "settings/SettingsStore.h"
#include "settings/SettingsValue.h"

namespace {
constexpr int kNoEarlierPlacement = -9999;
}

StoreLocation CurrentLocation() { return {QStringLiteral("Velmont Soft"), QStringLiteral("Rukasu2")}; }

StoreLocation EarlierLocation() { return {QStringLiteral("Rukasu2"), QStringLiteral("Rukasu2")}; }

StoreLocation PlacementLocation(SettingsStore& store, const QString& leftKey) {
  const StoreLocation earlier = EarlierLocation();
  const auto left = store.read(earlier.application, earlier.section, leftKey, IntToText(kNoEarlierPlacement));
  if (!left) return CurrentLocation();
  // Compared as a number ("-9999.0" is the marker too, "-9999.4" is not). Any
  // other text, a word included, sends the window to the earlier location,
  // where its own typed reads then judge the values.
  const bool marker = Int32FromText(*left) == kNoEarlierPlacement && left->trimmed().toDouble() == kNoEarlierPlacement;
  if (marker) return CurrentLocation();
  return earlier;
}
