// The 7zAES stage; see AesStage.h.
#include "archivers/sevenzip32/AesStage.h"

#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/sha2.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <vector>

#include "archivers/common/Passwords.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/sevenzip32/SevenZipMethods.h"

namespace rkarc::sevenzip {
namespace {

constexpr int kDirectKey = 0x3F;  // the key is salt and password themselves
constexpr int kMaxCyclesPower = 24;  // 7-Zip writes 19; more would take minutes per password
constexpr size_t kBlock = AES_BLOCK_SIZE;
constexpr size_t kChunk = 64 * 1024;  // a multiple of the block

struct Params {
  int cyclesPower = 0;
  std::vector<uint8_t> salt;
  std::array<uint8_t, kBlock> iv{};
};

// First byte: the cycles power in the low 6 bits, bit 7 a salt and bit 6 an
// IV present; the second adds to their sizes (high and low nibble).
bool ParseParams(const std::vector<uint8_t>& p, Params& out) {
  if (p.empty()) return false;
  out.cyclesPower = p[0] & 0x3F;
  if ((p[0] & 0xC0) == 0) return true;
  if (p.size() < 2) return false;
  const size_t saltSize = ((p[0] >> 7) & 1) + (p[1] >> 4);
  const size_t ivSize = ((p[0] >> 6) & 1) + (p[1] & 0x0F);
  if (ivSize > kBlock || p.size() < 2 + saltSize + ivSize) return false;
  out.salt.assign(p.begin() + 2, p.begin() + 2 + static_cast<std::ptrdiff_t>(saltSize));
  std::memcpy(out.iv.data(), p.data() + 2 + saltSize, ivSize);
  return true;
}

// UTF-8 to UTF-16LE; a byte that is no UTF-8 stands for itself (Latin-1).
std::vector<uint8_t> Utf16Le(const std::string& text) {
  std::vector<uint8_t> out;
  auto put = [&](uint32_t unit) {
    out.push_back(static_cast<uint8_t>(unit));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  };
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<uint8_t>(text[i]);
    const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    uint32_t code = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    bool valid = len > 0 && i + len <= text.size();
    for (size_t k = 1; valid && k < len; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid) {
      put(c);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code);
    }
    i += len;
  }
  return out;
}

std::array<uint8_t, 32> DeriveKey(const Params& params, const std::string& password) {
  std::vector<uint8_t> unicode = Utf16Le(password);
  std::array<uint8_t, 32> key{};
  if (params.cyclesPower == kDirectKey) {
    std::vector<uint8_t> joined = params.salt;
    joined.insert(joined.end(), unicode.begin(), unicode.end());
    std::memcpy(key.data(), joined.data(), std::min(joined.size(), key.size()));
    explicit_bzero(joined.data(), joined.size());
  } else {
    // The rounds are one stream of (salt, password, counter) records: many
    // are laid out in a buffer and hashed by one call, which costs a third of
    // a call per part (half a million rounds per password).
    const size_t record = params.salt.size() + unicode.size() + 8;
    constexpr size_t kRecordsPerCall = 256;
    std::vector<uint8_t> batch(record * kRecordsPerCall);
    for (size_t r = 0; r < kRecordsPerCall; ++r) {
      uint8_t* at = batch.data() + r * record;
      std::copy(params.salt.begin(), params.salt.end(), at);
      std::copy(unicode.begin(), unicode.end(), at + params.salt.size());
    }
    sha256_ctx sha;
    sha256_init(&sha);
    const uint64_t rounds = uint64_t{1} << params.cyclesPower;
    for (uint64_t round = 0; round < rounds;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kRecordsPerCall, rounds - round));
      for (size_t r = 0; r < n; ++r, ++round) {
        uint8_t* counter = batch.data() + r * record + record - 8;
        for (size_t k = 0; k < 8; ++k) counter[k] = static_cast<uint8_t>(round >> (8 * k));
      }
      sha256_update(&sha, n * record, batch.data());
    }
    sha256_digest(&sha, key.size(), key.data());
    explicit_bzero(&sha, sizeof sha);
    explicit_bzero(batch.data(), batch.size());
  }
  explicit_bzero(unicode.data(), unicode.size());
  return key;
}

// The last key made: an archive of many folders (one per file) uses one
// password and salt throughout, and each key costs 2^19 rounds of SHA-256.
struct KeyCache {
  std::mutex lock;
  bool valid = false;
  int cyclesPower = 0;
  std::vector<uint8_t> salt;
  std::string password;
  std::array<uint8_t, 32> key{};
  void forget() {
    WipeText(password);
    explicit_bzero(key.data(), key.size());
    valid = false;
  }
};

KeyCache& Cache() {
  static KeyCache cache;
  return cache;
}

std::array<uint8_t, 32> CachedKey(const Params& params, const std::string& password) {
  KeyCache& cache = Cache();
  std::lock_guard hold(cache.lock);
  if (!cache.valid || cache.cyclesPower != params.cyclesPower || cache.salt != params.salt ||
      cache.password != password) {
    cache.forget();
    cache.key = DeriveKey(params, password);
    cache.cyclesPower = params.cyclesPower;
    cache.salt = params.salt;
    cache.password = password;
    cache.valid = true;
  }
  return cache.key;
}

class AesStage : public Stage {
 public:
  AesStage(std::shared_ptr<Failure> f, uint64_t size, std::unique_ptr<Stage> below, const Params& params,
           std::array<uint8_t, 32>& key)
      : Stage(std::move(f), size), m_below(std::move(below)), m_iv(params.iv), m_data(kChunk) {
    aes256_set_decrypt_key(&m_aes, key.data());
    explicit_bzero(key.data(), key.size());
  }
  ~AesStage() override {
    explicit_bzero(&m_aes, sizeof m_aes);
    explicit_bzero(m_data.data(), m_data.size());
  }

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    if (m_at == m_end && !fill()) return -1;
    const size_t take = std::min(n, m_end - m_at);
    std::memcpy(out, m_data.data() + m_at, take);
    m_at += take;
    return static_cast<int64_t>(take);
  }

 private:
  // Whole blocks from below, decrypted in place; a partial last block is cut data.
  bool fill() {
    size_t have = 0;
    while (have < kChunk) {
      const int64_t got = m_below->read(m_data.data() + have, kChunk - have);
      if (got < 0) return false;
      if (got == 0) break;
      have += static_cast<size_t>(got);
      if (have % kBlock == 0) break;
    }
    m_at = 0;
    m_end = have - have % kBlock;
    cbc_decrypt(&m_aes, reinterpret_cast<nettle_cipher_func*>(aes256_decrypt), kBlock, m_iv.data(), m_end,
                m_data.data(), m_data.data());
    return true;
  }

  std::unique_ptr<Stage> m_below;
  aes256_ctx m_aes{};
  std::array<uint8_t, kBlock> m_iv;
  std::vector<uint8_t> m_data;
  size_t m_at = 0, m_end = 0;
};

}  // namespace

std::unique_ptr<Stage> MakeAesStage(std::shared_ptr<Failure> failure, uint64_t size, std::unique_ptr<Stage> below,
                                    const Coder& coder, const std::string& password) {
  Params params;
  if (!ParseParams(coder.properties, params) ||
      (params.cyclesPower > kMaxCyclesPower && params.cyclesPower != kDirectKey)) {
    if (failure->code == 0) *failure = {kErrUnsupported, UnsupportedReason("AES")};
    return nullptr;
  }
  std::array<uint8_t, 32> key = CachedKey(params, password);
  return std::make_unique<AesStage>(std::move(failure), size, std::move(below), params, key);
}

void ForgetAesKeys() {
  KeyCache& cache = Cache();
  std::lock_guard hold(cache.lock);
  cache.forget();
}

}  // namespace rkarc::sevenzip
