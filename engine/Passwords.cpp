// The run's passwords; see Passwords.h.
#include "engine/Passwords.h"

#include <QFile>
#include <algorithm>

#include "archivers/common/Passwords.h"
#include "settings/PasswordKeyring.h"

PasswordBook::PasswordBook(PasswordKeyring* keyring) : m_keyring(keyring) {}

PasswordBook::~PasswordBook() {
  for (auto& password : m_passwords) rkarc::WipeText(*password);
}

int PasswordBook::find(const std::string& password) const {
  for (size_t i = 0; i < m_passwords.size(); ++i)
    if (*m_passwords[i] == password) return static_cast<int>(i);
  return -1;
}

void PasswordBook::add(std::string password) {
  std::lock_guard lock(m_lock);
  if (!password.empty() && find(password) < 0) m_passwords.push_back(std::make_unique<std::string>(std::move(password)));
  rkarc::WipeText(password);
}

bool PasswordBook::addFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QByteArray text = file.readAll();
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    add(line.toStdString());
    line.fill('\0');
  }
  text.fill('\0');
  return true;
}

bool PasswordBook::addGiven(std::string password, bool remember) {
  const bool kept = !remember || (m_keyring && m_keyring->store(password));
  std::lock_guard lock(m_lock);
  const bool tell = !kept && !m_keyringFailed;
  m_keyringFailed = m_keyringFailed || !kept;
  const int known = find(password);
  if (known >= 0) {
    std::rotate(m_passwords.begin(), m_passwords.begin() + known, m_passwords.begin() + known + 1);
    rkarc::WipeText(password);
  } else {
    m_passwords.insert(m_passwords.begin(), std::make_unique<std::string>(std::move(password)));
  }
  return tell;
}

void PasswordBook::opened(size_t index) {
  std::lock_guard lock(m_lock);
  if (index < m_passwords.size())
    std::rotate(m_passwords.begin(), m_passwords.begin() + static_cast<std::ptrdiff_t>(index),
                m_passwords.begin() + static_cast<std::ptrdiff_t>(index) + 1);
}

bool PasswordBook::loadRemembered() {
  if (m_loaded || !m_keyring) return false;
  std::vector<RememberedPassword> remembered = m_keyring->load();
  std::lock_guard lock(m_lock);
  m_loaded = true;
  const size_t before = m_passwords.size();
  for (RememberedPassword& item : remembered)
    if (find(item.password) < 0) m_passwords.push_back(std::make_unique<std::string>(std::move(item.password)));
  return m_passwords.size() > before;
}

std::vector<const char*> PasswordBook::list() {
  std::lock_guard lock(m_lock);
  std::vector<const char*> out;
  for (const auto& password : m_passwords) out.push_back(password->c_str());
  return out;
}

size_t PasswordBook::size() {
  std::lock_guard lock(m_lock);
  return m_passwords.size();
}

PasswordBook& RunPasswords() {
  static PasswordKeyring keyring;
  static PasswordBook book(&keyring);
  return book;
}
