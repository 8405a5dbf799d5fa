// The keyring through libsecret; see PasswordKeyring.h.
#include "settings/PasswordKeyring.h"

// libsecret's headers use "signals" as a name, which Qt defines as a macro.
#undef signals
#include <libsecret/secret.h>

#include <cstdlib>
#include <random>

#include "archivers/common/Passwords.h"

namespace {

constexpr const char* kPurpose = "archive";

const SecretSchema* Schema() {
  static const SecretSchema schema = {
      "jp.rukasu2.ArchivePassword",
      SECRET_SCHEMA_NONE,
      {{"purpose", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"id", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, {}}},
      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &schema;
}

// Takes the error: true when there was none.
bool Succeeded(GError* error) {
  if (!error) return true;
  g_error_free(error);
  return false;
}

// Without an address of the session bus nothing is asked: no bus is
// started on the side (as D-Bus would try under X11).
bool HaveSessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address && *address;
}

std::string NewId() {
  std::random_device random;
  return std::to_string(random()) + std::to_string(random());
}

// The password of one found item, its secret wiped by libsecret when unreferenced.
bool ReadItem(SecretRetrievable* item, RememberedPassword& out) {
  GError* error = nullptr;
  SecretValue* value = secret_retrievable_retrieve_secret_sync(item, nullptr, &error);
  if (!Succeeded(error) || !value) return false;
  const gchar* text = secret_value_get_text(value);
  GHashTable* attributes = secret_retrievable_get_attributes(item);
  const auto* id = static_cast<const char*>(g_hash_table_lookup(attributes, "id"));
  const bool ok = text && id;
  if (ok) out = RememberedPassword(id, text);
  g_hash_table_unref(attributes);
  secret_value_unref(value);
  return ok;
}

}  // namespace

RememberedPassword::~RememberedPassword() { rkarc::WipeText(password); }

std::vector<RememberedPassword> PasswordKeyring::load() {
  std::vector<RememberedPassword> found;
  if (!HaveSessionBus()) return found;
  GError* error = nullptr;
  const auto flags = static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS);
  GList* items = secret_password_search_sync(Schema(), flags, nullptr, &error, "purpose", kPurpose, nullptr);
  if (!Succeeded(error)) return found;
  for (GList* at = items; at; at = at->next) {
    RememberedPassword item;
    if (ReadItem(static_cast<SecretRetrievable*>(at->data), item)) found.push_back(std::move(item));
  }
  g_list_free_full(items, g_object_unref);
  return found;
}

bool PasswordKeyring::store(const std::string& password) {
  if (!HaveSessionBus()) return false;
  for (const RememberedPassword& known : load())
    if (known.password == password) return true;
  GError* error = nullptr;
  const std::string id = NewId();
  const gboolean stored = secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, "Rukasu2 書庫のパスワード",
                                                     password.c_str(), nullptr, &error, "purpose", kPurpose, "id",
                                                     id.c_str(), nullptr);
  return Succeeded(error) && stored;
}

bool PasswordKeyring::remove(const std::string& id) {
  if (!HaveSessionBus()) return false;
  GError* error = nullptr;
  secret_password_clear_sync(Schema(), nullptr, &error, "purpose", kPurpose, "id", id.c_str(), nullptr);
  return Succeeded(error);
}

bool PasswordKeyring::removeAll() {
  if (!HaveSessionBus()) return false;
  GError* error = nullptr;
  secret_password_clear_sync(Schema(), nullptr, &error, "purpose", kPurpose, nullptr);
  return Succeeded(error);
}

bool PasswordKeyring::available() {
  if (!HaveSessionBus()) return false;
  GError* error = nullptr;
  SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
  if (!Succeeded(error) || !service) return false;
  g_object_unref(service);
  return true;
}
