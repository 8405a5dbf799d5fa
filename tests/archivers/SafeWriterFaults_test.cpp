// The safe writer on a full disk and on a read-only destination, each made
// real inside a mount namespace of a child process.
#include <QFileInfo>

#include "archivers/common/SafeWriter.h"
#include "tests/archivers/MountSandbox.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::RunInMountSandbox;
using testing_support::SandboxMount;

// Writes `size` bytes to a new member; "committed", "write failed" or "refused".
std::string WriteMember(rkarc::SafeWriter& writer, const std::string& name, size_t size) {
  rkarc::Member m;
  m.name = name;
  auto sink = writer.begin(m);
  if (!sink) return "refused";
  const std::string chunk(64 * 1024, 'z');
  for (size_t done = 0; done < size; done += chunk.size())
    if (!sink->write(chunk.data(), std::min(chunk.size(), size - done))) return "write failed";
  return sink->commit() ? "committed" : "commit failed";
}

std::string Summary(const rkarc::SafeWriter& writer, const std::string& steps, const QString& folder) {
  return steps + "|" + std::to_string(writer.result()) + "|" + (writer.stopped() ? "stopped" : "going") + "|" +
         testing_support::Tree(folder).join(",").toStdString();
}

TEST(SafeWriterFaults, FullDiskStopsTheRunAndLeavesNoPartialFile) {
  testing_support::TempFolder tmp;
  const QString out = tmp.mkdir("out");
  const auto result = RunInMountSandbox(out.toStdString(), SandboxMount::TinyTmpfs, [&] {
    char buffer[1024];
    rkarc::Report report(buffer, sizeof buffer);
    rkarc::SafeWriter writer(out.toStdString(), {}, report);
    std::string steps = WriteMember(writer, "small.bin", 100 * 1024);
    steps += "," + WriteMember(writer, "dir/big.bin", 4 * 1024 * 1024);
    steps += "," + WriteMember(writer, "after.bin", 10);
    return Summary(writer, steps, out) + "|" + report.text();
  });
  if (!result.refused.empty()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << result.refused;
  EXPECT_EQ(result.output.substr(0, result.output.find('|', result.output.find('|') + 1)),
            "committed,write failed,refused|" + std::to_string(rkarc::kErrDiskFull))
      << result.output;
  // The finished member stays; the member that did not fit leaves nothing, not even its temporary file.
  EXPECT_NE(result.output.find("|stopped|dir/,small.bin|"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("dir/big.bin: ディスクの空きが足りません"), std::string::npos) << result.output;
}

TEST(SafeWriterFaults, ReadOnlyDestinationStopsTheRun) {
  testing_support::TempFolder tmp;
  const QString out = tmp.mkdir("out");
  tmp.mkdir("out/existing");
  const auto result = RunInMountSandbox(out.toStdString(), SandboxMount::ReadOnlyBind, [&] {
    char buffer[1024];
    rkarc::Report report(buffer, sizeof buffer);
    rkarc::SafeWriter writer(out.toStdString(), {}, report);
    std::string steps = WriteMember(writer, "existing/a.txt", 10);
    steps += "," + WriteMember(writer, "b.txt", 10);
    return Summary(writer, steps, out);
  });
  if (!result.refused.empty()) GTEST_SKIP() << "cannot bind-mount read-only here: " << result.refused;
  EXPECT_EQ(result.output, "refused,refused|" + std::to_string(rkarc::kErrNotWritable) + "|stopped|existing/");
}

TEST(SafeWriterFaults, DiskFullWinsOverAnEarlierMemberFailure) {
  testing_support::TempFolder tmp;
  const QString out = tmp.mkdir("out");
  const auto result = RunInMountSandbox(out.toStdString(), SandboxMount::TinyTmpfs, [&] {
    char buffer[1024];
    rkarc::Report report(buffer, sizeof buffer);
    rkarc::SafeWriter writer(out.toStdString(), {}, report);
    rkarc::Member bad;
    bad.name = "bad.bin";
    writer.fail(bad, rkarc::kErrChecksum, "CRCが一致しません");
    WriteMember(writer, "big.bin", 4 * 1024 * 1024);
    return std::to_string(writer.result());
  });
  if (!result.refused.empty()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << result.refused;
  EXPECT_EQ(result.output, std::to_string(rkarc::kErrDiskFull));
}

}  // namespace
