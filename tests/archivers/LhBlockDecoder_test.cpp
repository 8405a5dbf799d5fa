// The block reader shared by the LZH (-lh4- to -lh7-) and ARJ (methods 1-3)
// decoders: the same bits decode alike under both rules, except where ARJ's
// stricter rules refuse what LZH archivers' data is allowed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archivers/common/LhBlockDecoder.h"

namespace {

using rkarc::LzResult;

// MSB-first bits, as the encoders write them.
class Bits {
 public:
  Bits& put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (m_used % 8 == 0) m_bytes.push_back(0);
      if ((value >> i) & 1) m_bytes.back() = static_cast<uint8_t>(m_bytes.back() | (0x80 >> (m_used % 8)));
      ++m_used;
    }
    return *this;
  }
  // A block of `tokens` tokens whose codes have one symbol each (no bits per token): `literal` only.
  Bits& singleSymbolBlock(uint32_t tokens, uint32_t literal) {
    return put(tokens, 16).put(0, 5).put(0, 5).put(0, 9).put(literal, 9).put(0, 5).put(0, 5);
  }
  const std::vector<uint8_t>& bytes() const { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
  size_t m_used = 0;
};

struct Decoded {
  LzResult result;
  std::string data;
};

Decoded Decode(const Bits& bits, bool strict, uint64_t size) {
  const std::vector<uint8_t>& bytes = bits.bytes();
  rkarc::MsbBitReader in(
      [&](uint64_t offset, uint8_t* buffer, size_t n) -> int64_t {
        if (offset >= bytes.size()) return 0;
        n = std::min<size_t>(n, bytes.size() - offset);
        std::copy_n(bytes.begin() + static_cast<ptrdiff_t>(offset), n, buffer);
        return static_cast<int64_t>(n);
      },
      0, bytes.size());
  Decoded out{LzResult::Ok, {}};
  rkarc::LzWindow window(rkarc::LzWindow::kHistory, std::nullopt, size, [&](const uint8_t* data, size_t n) {
    out.data.append(reinterpret_cast<const char*>(data), n);
    return true;
  });
  out.result = rkarc::LhBlockDecoder({17, 5, strict}).decode(in, window, size);
  return out;
}

struct Row {
  const char* name;
  Bits bits;
  uint64_t size;
  std::string lenientData;  // LZH's rules: the data, or empty where refused
  LzResult strict;          // ARJ's rules
};

class LhBlockRules : public testing::TestWithParam<Row> {};

TEST_P(LhBlockRules, LzhTakesWhatArjRefuses) {
  const Row& row = GetParam();
  const Decoded lenient = Decode(row.bits, false, row.size);
  EXPECT_EQ(lenient.result, row.lenientData.empty() ? LzResult::BadTable : LzResult::Ok);
  EXPECT_EQ(lenient.data, row.lenientData);
  EXPECT_EQ(Decode(row.bits, true, row.size).result, row.strict);
}

// A code-length code of four 2-bit codes, symbol 3 giving a literal code length of 1.
Bits WithOneBitLiterals(int literals) {
  Bits b;
  b.put(3, 16).put(4, 5).put(2, 3).put(2, 3).put(2, 3).put(0, 2).put(2, 3).put(static_cast<uint32_t>(literals), 9);
  for (int i = 0; i < literals; ++i) b.put(3, 2);
  return b.put(0, 5).put(0, 5).put(0b010, 3);  // one position code; tokens: literal 0, 1, 0
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LhBlockRules,
    testing::Values(Row{"SingleSymbolCodes", Bits().singleSymbolBlock(5, 'A'), 5, "AAAAA", LzResult::Ok},
                    Row{"BlockOfNoTokens", Bits().singleSymbolBlock(0, 'B').singleSymbolBlock(3, 'A'), 3, "AAA",
                        LzResult::BadTable},
                    Row{"CompleteOneBitCode", WithOneBitLiterals(2), 3, std::string("\0\1\0", 3), LzResult::Ok},
                    Row{"HalfTheCodeSpaceUnused", WithOneBitLiterals(1), 1, std::string(1, '\0'),
                        LzResult::BadTable},
                    Row{"LiteralCountBeyondTheCode", Bits().put(1, 16).put(0, 5).put(0, 5).put(511, 9), 1, "",
                        LzResult::BadTable}),
    [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
