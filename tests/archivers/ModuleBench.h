// Helpers for the module tests: an output folder with a sentinel beside it,
// commands in the program's standard form, checks that a failed extraction
// left nothing half-written, and running a check under each locale.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

class ModuleBench {
 public:
  explicit ModuleBench(const TestModule& module) : m_module(module) {
    m_tmp.mkdir("out");
    m_tmp.write("sentinel.txt", "sentinel");
  }

  const TempFolder& tmp() const { return m_tmp; }
  QString out() const { return m_tmp.file("out"); }

  // OPT "ARCHIVE" "OUT/" {"MEMBER"}
  int32_t extract(const std::string& options, const QString& archive, const QStringList& members = {});
  // OPT "ARCHIVE" "SECOND": the single-file form and odd commands.
  int32_t run(const std::string& options, const QString& archive, const QString& second);
  const std::string& report() const { return m_report; }

  // Entries of the temporary folder outside "out/", and a changed sentinel.
  QStringList outside() const;

 private:
  const TestModule& m_module;
  TempFolder m_tmp;
  std::string m_report;
};

// After a failure: every file under `folder` is whole (its content is that
// of some member the manifest lists as good) and no temporary file is left.
// Returns the problems, or an empty string.
QString HalfWrittenFiles(const QString& folder);

// Runs `check` under the C.UTF-8 and the C locale of the process: the
// modules must not depend on it.
void ForEachLocale(const std::function<void(const char* locale)>& check);

// Makes `folder`/表/能ソ.txt (content "cp932") with its names as raw CP932
// bytes, all three characters having 0x5C as their trail byte, as files
// copied from a Japanese Windows system are named.
void MakeCp932Tree(const QString& folder);

// A file of `size` bytes that begins like an MS-DOS executable: a stub for
// self-extracting archives made at test time.
QByteArray ExecutableStub(int size);

}  // namespace testing_support
