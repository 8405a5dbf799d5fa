// Taking an extraction back: what the writer placed goes, what was there
// before stays, and nothing is removed through a link or under a name that
// something else took meanwhile.
#include <stdio.h>
#include <unistd.h>

#include <QDir>

#include "archivers/common/SafeWriter.h"
#include "tests/archivers/SafeWriterTestUtil.h"

namespace {

using rkarc::MemberType;
using testing_support::ReadText;
using testing_support::Tree;
using testing_support::WriterBench;

QStringList OutTree(const WriterBench& bench) { return Tree(QString::fromStdString(bench.out())); }

TEST(SafeWriterRollBack, RemovesEveryEntryItMadeAndKeepsWhatWasThere) {
  WriterBench bench;
  bench.tmp().write("out/keep/old.txt", "old");
  bench.tmp().write("out/top.txt", "mine");
  EXPECT_TRUE(bench.file("keep/new.txt", "new"));
  EXPECT_TRUE(bench.file("deep/a/b/c.txt", "c"));
  EXPECT_TRUE(bench.file("deep/a/b/c.txt", "c again"));  // a duplicate replaces our own file
  EXPECT_FALSE(bench.file("top.txt", "theirs"));         // kept, and must survive
  bench.entry("emptydir/inner/", MemberType::Directory);
  bench.entry("deep/link", MemberType::Symlink, "a/b/c.txt");
  bench.entry("deep/hard", MemberType::Hardlink, "deep/a/b/c.txt");
  ASSERT_EQ(bench.writer().result(), 1) << bench.report();

  EXPECT_EQ(bench.writer().rollBack(), 4u);
  EXPECT_EQ(OutTree(bench), QStringList({"keep/", "keep/old.txt", "top.txt"}));
  EXPECT_EQ(ReadText(bench.outFile("top.txt")), "mine");
  EXPECT_EQ(bench.writer().rollBack(), 0u);  // a second call finds nothing left to take back
}

TEST(SafeWriterRollBack, LeavesWhatTookANameOrFilledAFolderSince) {
  WriterBench bench;
  EXPECT_TRUE(bench.file("swapped.txt", "ours"));
  EXPECT_TRUE(bench.file("filled/ours.txt", "ours"));
  // Another program puts its own file under our name, and one into our folder.
  bench.tmp().write("other.txt", "theirs");
  ASSERT_EQ(::rename(bench.tmp().file("other.txt").toLocal8Bit(), bench.outFile("swapped.txt").c_str()), 0);
  bench.tmp().write("out/filled/theirs.txt", "theirs");

  EXPECT_EQ(bench.writer().rollBack(), 1u);
  EXPECT_EQ(OutTree(bench), QStringList({"filled/", "filled/theirs.txt", "swapped.txt"}));
  EXPECT_EQ(ReadText(bench.outFile("swapped.txt")), "theirs");
}

TEST(SafeWriterRollBack, NeverFollowsALinkPutInPlaceOfAFolder) {
  WriterBench bench;
  EXPECT_TRUE(bench.file("d/x.txt", "ours"));
  // The folder is moved away and a link to a folder outside takes its name.
  const QString outside = bench.tmp().mkdir("elsewhere");
  bench.tmp().write("elsewhere/x.txt", "precious");
  ASSERT_EQ(::rename(bench.outFile("d").c_str(), bench.outFile("moved").c_str()), 0);
  ASSERT_EQ(::symlink(outside.toLocal8Bit().constData(), bench.outFile("d").c_str()), 0);

  EXPECT_EQ(bench.writer().rollBack(), 0u);
  EXPECT_EQ(ReadText(bench.tmp().file("elsewhere/x.txt").toStdString()), "precious");
  EXPECT_EQ(ReadText(bench.outFile("moved/x.txt")), "ours");
}

}  // namespace
