// The passwords a run tries on encrypted archives, in the order it tries
// them: the one that opened the previous archive first, then those typed in
// during the run, those of the password file and those remembered in the
// desktop's keyring. They are never logged, and wiped when the book goes.
#pragma once

#include <QString>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class PasswordKeyring;

class PasswordBook {
 public:
  // `keyring` (may be null) is read the first time an archive needs a
  // password that the others do not give (loadRemembered).
  explicit PasswordBook(PasswordKeyring* keyring = nullptr);
  ~PasswordBook();
  PasswordBook(const PasswordBook&) = delete;
  PasswordBook& operator=(const PasswordBook&) = delete;

  // Adds each line of a UTF-8 text file (one password a line; an empty line
  // is none) after the known ones; false when the file cannot be read.
  bool addFile(const QString& path);
  // Adds a password after the known ones, unless it is known.
  void add(std::string password);
  // A password the user typed: tried first. With `remember` it also goes into
  // the keyring. True, once per book, when the keyring could not take it: the
  // user is then told that passwords live for this run only.
  bool addGiven(std::string password, bool remember);
  // The password at `index` of the last list() opened an archive.
  void opened(size_t index);
  // The passwords in the order to try them, valid until the book changes.
  std::vector<const char*> list();
  size_t size();
  // Adds the passwords remembered in the keyring, the first time only (so a
  // run of plain archives never wakes the keyring); true when it added any.
  bool loadRemembered();

 private:
  // Index of `password`, or -1.
  int find(const std::string& password) const;

  PasswordKeyring* m_keyring;
  bool m_loaded = false;
  bool m_keyringFailed = false;
  // Each in a block of its own, so reordering never leaves a copy behind.
  std::vector<std::unique_ptr<std::string>> m_passwords;
  std::mutex m_lock;
};

// The passwords of this process's runs, with the desktop's keyring behind them.
PasswordBook& RunPasswords();
