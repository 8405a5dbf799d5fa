// The -lh4- to -lh7- decoder through UNLHA32.DLL on damaged data: a changed
// byte anywhere in a member's compressed data, or data cut short, is a
// failure with nothing half-written, never a crash or a good result.
#include <utility>

#include "archivers/common/ResultCodes.h"
#include "tests/archivers/ModuleBench.h"
#include "tests/support/Manifest.h"

namespace {

using testing_support::ModuleBench;
using testing_support::Sample;

const testing_support::TestModule& Unlha() {
  static const testing_support::TestModule module("UNLHA32.DLL", "Unlha");
  return module;
}

struct Damage {
  const char* row;
  const char* sample;  // a level-0 archive
};

// [begin, end) of the largest compressed member's data in a level-0 archive:
// each header is 2 + (first byte) long, its method at 2, its data size at 7.
std::pair<int, int> LargestCompressedData(const QByteArray& lzh) {
  std::pair<int, int> best{0, 0};
  for (int at = 0; at + 22 <= lzh.size() && lzh[at] != 0;) {
    const auto byte = [&](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(lzh[at + i])); };
    const int begin = at + 2 + static_cast<int>(byte(0));
    const int end = begin + static_cast<int>(byte(7) | byte(8) << 8 | byte(9) << 16 | byte(10) << 24);
    if (lzh.mid(at + 2, 5) != "-lh0-" && end - begin > best.second - best.first) best = {begin, end};
    at = end;
  }
  return best;
}

class DamagedLhData : public testing::TestWithParam<Damage> {};

TEST_P(DamagedLhData, EveryChangedOrMissingByteFails) {
  ASSERT_TRUE(Unlha().loaded()) << Unlha().error();
  const QByteArray good = testing_support::ReadFile(Sample(GetParam().sample));
  const auto [begin, end] = LargestCompressedData(good);
  ASSERT_GT(end - begin, 100);
  // The first two bytes count the first block's codes; a member that ends
  // within that block never needs the count, so a change there goes unseen.
  int tried = 0;
  for (int at = begin + 2; at < end; at += (end - begin) / 40, ++tried) {
    for (const bool cut : {false, true}) {
      SCOPED_TRACE(testing::Message() << (cut ? "cut at " : "changed at ") << at);
      QByteArray bad = cut ? good.left(at) : good;
      if (!cut) bad[at] = static_cast<char>(bad[at] ^ 0x5A);
      ModuleBench bench(Unlha());
      const int32_t rc = bench.extract("x -+", bench.tmp().write("bad.lzh", bad));
      EXPECT_TRUE(rkarc::IsFailure(rc)) << rc << " " << bench.report();
      EXPECT_EQ(testing_support::HalfWrittenFiles(bench.out()), "");
    }
  }
  EXPECT_GE(tried, 39);
}

INSTANTIATE_TEST_SUITE_P(Methods, DamagedLhData,
                         testing::Values(Damage{"Lh5", "lzh/lh5_h0.lzh"}, Damage{"Lh6", "lzh/lh6_h0.lzh"},
                                         Damage{"Lh7", "lzh/lh7_h0.lzh"}),
                         [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.row); });

}  // namespace
