// UNARJ32J.DLL loaded by file name as the program loads it: the sample
// archives, damaged and hostile ones, archives made here with Debian's arj
// (every method, garbled, multi-volume, self-extracting), and the command forms.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "tests/support/Manifest.h"
#include "tests/support/TestModule.h"
#include "tests/support/TestSupport.h"

using namespace rkarc;
using testing_support::Sample;
using testing_support::TempFolder;
using testing_support::TestModule;

namespace {

const TestModule& Module() {
  static const TestModule module("UNARJ32J.DLL", "Unarj");
  return module;
}

// Runs "<options> "<archive>" "<out>/" [<members>]" and returns the result code.
int32_t Extract(const QString& archive, const QString& out, const std::string& options = "x -+",
                std::string* report = nullptr, const std::string& members = {}) {
  std::string command = options + " \"" + archive.toStdString() + "\" \"" + out.toStdString() + "/\"";
  if (!members.empty()) command += " " + members;
  return Module().command(command, report);
}

}  // namespace

TEST(Unarj32j, ExtractsEverySampleAsTheManifestSays) {
  RK_REQUIRE_SAMPLES();
  ASSERT_TRUE(Module().loaded()) << Module().error();
  const QStringList files = testing_support::ManifestFiles("arj/");
  ASSERT_GE(files.size(), 9);
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    TempFolder temp;
    const QString out = temp.mkdir("out");
    std::string report;
    EXPECT_EQ(Extract(Sample(file), out, "x -+", &report), kOk) << report;
    EXPECT_EQ(testing_support::CompareWithManifest(out, file).toStdString(), "");
  }
}
