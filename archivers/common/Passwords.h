// The passwords the host hands a module before a command, through the
// optional entry point <Prefix>SetPasswords, and the report line that tells
// the host which of them opened the archive. A password is never written to
// a report; the module's copies are wiped when the host clears the list.
//
//   int32_t PSetPasswords(const char* const* list, int32_t count);
//   (RkSetPasswordsFn, ModuleInterface.h)
//
// A null list leaves password mode: encrypted members are refused and the
// others extracted. A list, even an empty one, asks the module to find the
// password of the archive before it writes anything: when none of them
// opens it, the command fails (kErrEncrypted for an empty list, else
// kErrWrongPassword), writes nothing, and heads the report with
// "password<TAB>none"; when one does, "password<TAB>N" names its index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/Module.h"

namespace rkarc {

inline constexpr std::string_view kPasswordLead = "password";
inline constexpr std::string_view kPasswordNone = "none";

struct PasswordSet {
  bool given = false;  // password mode: the host handed a list
  std::vector<std::string> list;
};

// The module's passwords, as the host last set them.
const PasswordSet& ModulePasswords();
// Replaces them; the old copies are wiped first.
int32_t SetModulePasswords(const char* const* list, int32_t count);
// Overwrites the bytes of `text` before it is freed.
void WipeText(std::string& text);

}  // namespace rkarc

#define RKARC_MODULE_PASSWORD_ENTRY_POINT(P)                                     \
  RKARC_EXPORT int32_t P##SetPasswords(const char* const* list, int32_t count) { \
    return rkarc::SetModulePasswords(list, count);                               \
  }                                                                              \
  RKARC_CHECK_ENTRY_POINT(P##SetPasswords, RkSetPasswordsFn);
