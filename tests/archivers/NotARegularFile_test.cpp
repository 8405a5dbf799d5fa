// Every module takes only a regular file as its archive: a FIFO (whose open
// must not wait for a writer that never comes), a folder and a device are
// refused by the archive check and by the extract command, which then writes
// nothing.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"

namespace {

using testing_support::ModuleBench;
using testing_support::TempFolder;
using testing_support::TestModule;

struct ModuleRow {
  const char* file;
  const char* prefix;
  const char* extension;
  const char* options;  // empty: ISH32.DLL's own command form
};

void PrintTo(const ModuleRow& row, std::ostream* out) { *out << row.file; }

class NotARegularFile : public testing::TestWithParam<ModuleRow> {};

TEST_P(NotARegularFile, IsRefusedByTheCheckAndByTheCommand) {
  const ModuleRow& row = GetParam();
  const TestModule module(row.file, row.prefix);
  ASSERT_TRUE(module.loaded()) << module.error();
  TempFolder inputs;
  const QString fifo = inputs.file(QStringLiteral("pipe.") + row.extension);
  ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
  const struct {
    const char* what;
    QString path;
  } inputsOfKind[] = {{"FIFO", fifo},
                      {"folder", inputs.mkdir(QStringLiteral("folder.") + row.extension)},
                      {"device", QStringLiteral("/dev/null")}};

  for (const auto& input : inputsOfKind) {
    SCOPED_TRACE(input.what);
    EXPECT_EQ(module.checkArchive(input.path.toStdString()), 0);
    ModuleBench bench(module);
    std::string report;
    const int32_t rc =
        *row.options ? bench.extract(row.options, input.path)
                     : module.command("/m " + input.path.toStdString() + " /F=" + bench.out().toStdString() + "/",
                                      &report);
    EXPECT_GE(rc, rkarc::kFirstFailure) << bench.report() << report;
    EXPECT_TRUE(testing_support::Tree(bench.out()).isEmpty());
    EXPECT_TRUE(bench.outside().isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Modules, NotARegularFile,
                         testing::Values(ModuleRow{"UNLHA32.DLL", "Unlha", "lzh", "x -+"},
                                         ModuleRow{"UNZIP32.DLL", "UnZip", "zip", "-x"},
                                         ModuleRow{"UNARJ32J.DLL", "Unarj", "arj", "x -+"},
                                         ModuleRow{"ISH32.DLL", "Ish", "ish", ""},
                                         ModuleRow{"CAB32.DLL", "Cab", "cab", "-x"},
                                         ModuleRow{"TAR32.DLL", "Tar", "tar", "-xfo"},
                                         ModuleRow{"UNRAR32.DLL", "Unrar", "rar", "-x"}),
                         [](const testing::TestParamInfo<ModuleRow>& info) {
                           return std::string(info.param.prefix);
                         });

}  // namespace
