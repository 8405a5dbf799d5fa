// See DynamicLibrary.h.
#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include "platform/FileName.h"

DynamicLibrary::DynamicLibrary(const QString& path) {
  m_handle = ::dlopen(FileNameBytes(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) m_error = FileNameFromBytes(::dlerror());
}

DynamicLibrary::~DynamicLibrary() {
  if (m_handle) ::dlclose(m_handle);
}

void* DynamicLibrary::symbol(const char* name) const { return m_handle ? ::dlsym(m_handle, name) : nullptr; }
