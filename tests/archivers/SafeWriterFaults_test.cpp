// The safe writer on a full disk and on a read-only destination, each made
// real inside a mount namespace (the test runs again in a child process).
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"
#include "tests/support/FaultFolder.h"
#include "tests/archivers/SafeWriterTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::FaultFolder;
using testing_support::FaultMount;

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

QStringList TreeOf(const std::string& folder) { return testing_support::Tree(QString::fromStdString(folder)); }

TEST(SafeWriterFaults, FullDiskStopsTheRunAndLeavesNoPartialFile) {
  const std::string out = FaultFolder(FaultMount::TinyTmpfs);
  if (out.empty()) return;
  char buffer[1024];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::SafeWriter writer(out, {}, report);
  EXPECT_EQ(WriteMember(writer, "small.bin", 100 * 1024), "committed");
  EXPECT_EQ(WriteMember(writer, "dir/big.bin", 4 * 1024 * 1024), "write failed");
  EXPECT_EQ(WriteMember(writer, "after.bin", 10), "refused");
  EXPECT_EQ(writer.result(), rkarc::kErrDiskFull);
  EXPECT_TRUE(writer.stopped());
  // The finished member stays; the one that did not fit leaves nothing, not even its temporary file.
  EXPECT_EQ(TreeOf(out), (QStringList{"dir/", "small.bin"}));
  EXPECT_NE(report.text().find("dir/big.bin: ディスクの空きが足りません"), std::string::npos) << report.text();
}

TEST(SafeWriterFaults, ReadOnlyDestinationStopsTheRun) {
  const std::string out = FaultFolder(FaultMount::ReadOnlyBind);
  if (out.empty()) return;
  char buffer[1024];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::SafeWriter writer(out, {}, report);
  EXPECT_EQ(WriteMember(writer, "a.txt", 10), "refused");
  EXPECT_EQ(WriteMember(writer, "b.txt", 10), "refused");
  EXPECT_EQ(writer.result(), rkarc::kErrNotWritable);
  EXPECT_TRUE(writer.stopped());
  EXPECT_TRUE(TreeOf(out).isEmpty());
}

// Without /proc/self/fd an unnamed file cannot be given its name: files are
// written under a temporary name instead, with the same guarantees.
TEST(SafeWriterFaults, WithoutProcFilesAreWrittenUnderATemporaryName) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reads its options and threads from /proc";
#endif
  const std::string out = FaultFolder(FaultMount::HiddenProc);
  if (out.empty()) return;
  char buffer[1024];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::SafeWriter writer(out, {}, report);
  rkarc::Member m;
  m.name = "d/new.txt";
  auto sink = writer.begin(m);
  ASSERT_TRUE(sink);
  ASSERT_TRUE(sink->write("new", 3));
  const QStringList whileWriting = TreeOf(out);
  ASSERT_EQ(whileWriting.size(), 2) << whileWriting.join(' ').toStdString();
  EXPECT_TRUE(whileWriting[1].startsWith("d/.rukasu2-")) << whileWriting[1].toStdString();
  EXPECT_TRUE(sink->commit());
  m.name = "d/gone.txt";
  writer.begin(m)->abort(rkarc::kErrChecksum, "CRCが一致しません");
  EXPECT_EQ(TreeOf(out), (QStringList{"d/", "d/new.txt"}));
  EXPECT_EQ(testing_support::ReadText(out + "/d/new.txt"), "new");
}

// A sandbox where the link through /proc/self/fd fails: that member fails,
// reported, and the ones after it take temporary names.
TEST(SafeWriterFaults, AFailedLinkThroughProcFailsOneMemberAndNoMore) {
  const std::string out = FaultFolder(FaultMount::EmptyProcFd);
  if (out.empty()) return;
  char buffer[1024];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::SafeWriter writer(out, {}, report);
  EXPECT_EQ(WriteMember(writer, "first.txt", 10), "commit failed");
  EXPECT_EQ(WriteMember(writer, "second.txt", 10), "committed");
  EXPECT_EQ(WriteMember(writer, "third.txt", 10), "committed");
  EXPECT_EQ(TreeOf(out), (QStringList{"second.txt", "third.txt"}));
  EXPECT_TRUE(rkarc::IsFailure(writer.result())) << writer.result();
  EXPECT_NE(report.text().find("first.txt"), std::string::npos) << report.text();
}

TEST(SafeWriterFaults, DiskFullWinsOverAnEarlierMemberFailure) {
  const std::string out = FaultFolder(FaultMount::TinyTmpfs);
  if (out.empty()) return;
  char buffer[1024];
  rkarc::Report report(buffer, sizeof buffer);
  rkarc::SafeWriter writer(out, {}, report);
  rkarc::Member bad;
  bad.name = "bad.bin";
  writer.fail(bad, rkarc::kErrChecksum, "CRCが一致しません");
  WriteMember(writer, "big.bin", 4 * 1024 * 1024);
  EXPECT_EQ(writer.result(), rkarc::kErrDiskFull);
}

}  // namespace
