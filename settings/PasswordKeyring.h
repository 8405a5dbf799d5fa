// Passwords the user asked to remember, kept in the desktop's keyring
// (GNOME Keyring, KWallet) through the Secret Service on the session bus,
// never in the settings file. Each is an item of its own, labelled for the
// keyring's own manager and found again by this program's attributes.
#pragma once

#include <string>
#include <vector>

struct RememberedPassword {
  std::string id;  // names the item for remove()
  std::string password;
  RememberedPassword() = default;
  RememberedPassword(std::string i, std::string p) : id(std::move(i)), password(std::move(p)) {}
  RememberedPassword(RememberedPassword&&) = default;
  RememberedPassword& operator=(RememberedPassword&&) = default;
  ~RememberedPassword();
};

class PasswordKeyring {
 public:
  virtual ~PasswordKeyring() = default;
  // Every remembered password; none when no keyring answers.
  virtual std::vector<RememberedPassword> load();
  // False when no keyring answers or it refuses the item.
  virtual bool store(const std::string& password);
  // Forgets one password, or every one; false when no keyring answers.
  virtual bool remove(const std::string& id);
  virtual bool removeAll();
  // Whether a Secret Service answers on the session bus.
  virtual bool available();
};
