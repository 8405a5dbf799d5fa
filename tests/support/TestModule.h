// Loads a built archiver module by file name with dlopen, as the program does,
// and calls its entry points. For the archiver tests.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

class TestModule {
 public:
  // fileName: "UNLHA32.DLL"; prefix: "Unlha" (entry points Unlha, UnlhaCheckArchive ...).
  // ISH32.DLL's command entry point IshEx takes no window argument; pass prefix "Ish".
  TestModule(const std::string& fileName, const std::string& prefix);
  ~TestModule();
  TestModule(const TestModule&) = delete;
  TestModule& operator=(const TestModule&) = delete;

  bool loaded() const { return m_handle != nullptr; }
  const std::string& error() const { return m_error; }

  // Runs one command with a 4096-byte report buffer; the report lands in *report.
  int32_t command(const std::string& text, std::string* report = nullptr) const;
  int32_t checkArchive(const std::string& path, int32_t mode = 1) const;
  int32_t running() const;
  int32_t version() const;
  // The optional progress entry point, or null.
  void* symbol(const std::string& name) const;

 private:
  void* m_handle = nullptr;
  std::string m_prefix;
  std::string m_error;
};

// Folder of the built modules (build/archivers).
std::string ArchiverBuildDir();

}  // namespace testing_support
