// See SettingsDefaults.h.
#include "settings/SettingsDefaults.h"

#include <variant>

#include "platform/TempFolder.h"

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

Settings DefaultSettings() {
  Settings settings;
  for (const SettingsKey& key : SettingsKeys()) {
    std::visit(Overloaded{[&](const BoolSetting& s) { settings.*s.field = s.defaultValue; },
                          [&](const Int16Setting& s) { settings.*s.field = s.defaultValue; },
                          [&](const TextSetting& s) {
                            settings.*s.field =
                                s.defaultValue ? QString::fromUtf16(s.defaultValue) : TempFolderPath();
                          }},
               key.field);
  }
  return settings;
}
