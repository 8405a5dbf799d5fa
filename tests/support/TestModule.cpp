// See TestModule.h.
#include "tests/support/TestModule.h"

#include <dlfcn.h>

#include <vector>

#include "archivers/common/ModuleInterface.h"

namespace testing_support {

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
    if (auto fn = reinterpret_cast<RkIshCommandFn>(symbol(RKARC_ISH_COMMAND_NAME))) rc = fn(text.c_str(), buffer.data(), 4096);
  } else if (auto fn = reinterpret_cast<RkCommandFn>(symbol(m_prefix))) {
    rc = fn(nullptr, text.c_str(), buffer.data(), 4096);
  }
  if (report) *report = buffer.data();
  return rc;
}

int32_t TestModule::checkArchive(const std::string& path, int32_t mode) const {
  auto fn = reinterpret_cast<RkCheckArchiveFn>(symbol(m_prefix + RKARC_CHECK_ARCHIVE_SUFFIX));
  return fn ? fn(path.c_str(), mode) : -1;
}

int32_t TestModule::running() const {
  auto fn = reinterpret_cast<RkGetRunningFn>(symbol(m_prefix + RKARC_GET_RUNNING_SUFFIX));
  return fn ? fn() : -1;
}

int32_t TestModule::version() const {
  auto fn = reinterpret_cast<RkGetVersionFn>(symbol(m_prefix + RKARC_GET_VERSION_SUFFIX));
  return fn ? fn() : -1;
}

}  // namespace testing_support
