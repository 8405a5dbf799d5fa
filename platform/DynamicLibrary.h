// A shared library opened with dlopen by its full path, closed on destruction.
#pragma once

#include <QString>

class DynamicLibrary {
 public:
  explicit DynamicLibrary(const QString& path);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool isLoaded() const { return m_handle != nullptr; }
  const QString& errorText() const { return m_error; }
  // The address of an exported symbol, or null.
  void* symbol(const char* name) const;

 private:
  void* m_handle = nullptr;
  QString m_error;
};
