// See TestModule.h.
#include "tests/support/TestModule.h"

#include <dlfcn.h>

#include <vector>

namespace testing_support {

using CommandFn = int32_t (*)(void*, const char*, char*, uint32_t);
using IshCommandFn = int32_t (*)(const char*, char*, uint32_t);
using CheckFn = int32_t (*)(const char*, int32_t);
using IntFn = int32_t (*)();

std::string ArchiverBuildDir() { return RUKASU2_ARCHIVER_BUILD_DIR; }

TestModule::TestModule(const std::string& fileName, const std::string& prefix) : m_prefix(prefix) {
  const std::string path = ArchiverBuildDir() + "/" + fileName;
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!m_handle) m_error = dlerror();
}

TestModule::~TestModule() {
  if (m_handle) dlclose(m_handle);
}

void* TestModule::symbol(const std::string& name) const {
  return m_handle ? dlsym(m_handle, name.c_str()) : nullptr;
}

int32_t TestModule::command(const std::string& text, std::string* report) const {
  std::vector<char> buffer(4096, '\0');
  int32_t rc = -1;
  if (m_prefix == "Ish") {
    if (auto fn = reinterpret_cast<IshCommandFn>(symbol("IshEx"))) rc = fn(text.c_str(), buffer.data(), 4096);
  } else if (auto fn = reinterpret_cast<CommandFn>(symbol(m_prefix))) {
    rc = fn(nullptr, text.c_str(), buffer.data(), 4096);
  }
  if (report) *report = buffer.data();
  return rc;
}

int32_t TestModule::checkArchive(const std::string& path, int32_t mode) const {
  auto fn = reinterpret_cast<CheckFn>(symbol(m_prefix + "CheckArchive"));
  return fn ? fn(path.c_str(), mode) : -1;
}

int32_t TestModule::running() const {
  auto fn = reinterpret_cast<IntFn>(symbol(m_prefix + "GetRunning"));
  return fn ? fn() : -1;
}

int32_t TestModule::version() const {
  auto fn = reinterpret_cast<IntFn>(symbol(m_prefix + "GetVersion"));
  return fn ? fn() : -1;
}

}  // namespace testing_support
