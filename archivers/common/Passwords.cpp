// The module's copy of the host's passwords; see Passwords.h.
#include "archivers/common/Passwords.h"

#include <cstring>
#include <mutex>

namespace rkarc {
namespace {

PasswordSet& Stored() {
  static PasswordSet set;
  return set;
}

std::mutex& StoredLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

void WipeText(std::string& text) {
  // explicit_bzero is not optimised away like a memset before a free.
  if (!text.empty()) explicit_bzero(text.data(), text.size());
  text.clear();
  text.shrink_to_fit();
}

const PasswordSet& ModulePasswords() { return Stored(); }

int32_t SetModulePasswords(const char* const* list, int32_t count) {
  std::lock_guard lock(StoredLock());
  PasswordSet& set = Stored();
  for (std::string& password : set.list) WipeText(password);
  set.list.clear();
  set.given = list != nullptr;
  if (!list) return 0;
  set.list.reserve(static_cast<size_t>(count > 0 ? count : 0));  // no copies left behind by growing
  for (int32_t i = 0; i < count; ++i)
    if (list[i]) set.list.emplace_back(list[i]);
  return 0;
}

}  // namespace rkarc
