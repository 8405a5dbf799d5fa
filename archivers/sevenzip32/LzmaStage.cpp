// liblzma's raw decoders as a 7z stage; see LzmaStage.h.
#include "archivers/sevenzip32/LzmaStage.h"

#include <lzma.h>

#include <array>

#include "archivers/common/Bytes.h"

namespace rkarc::sevenzip {
namespace {

static_assert(kMaxLzmaFilters == LZMA_FILTERS_MAX);

// liblzma's raw decoder: LZMA or LZMA2 with up to three filters above it, or
// filters alone over data that the stage below decodes (wrapped).
class LzmaStage : public BufferedStage {
 public:
  struct Options {
    lzma_options_lzma lzma{};
    lzma_options_bcj bcj{};
    lzma_options_delta delta{};
  };
  static constexpr size_t kMaxFilters = LZMA_FILTERS_MAX;

  LzmaStage(std::shared_ptr<Failure> f, uint64_t size, std::unique_ptr<Stage> below, bool wrapped)
      : BufferedStage(std::move(f), size, std::move(below)), m_wrapped(wrapped) {}
  ~LzmaStage() override { lzma_end(&m_strm); }

  // Adds the next coder, outermost first; false when liblzma cannot take it.
  bool add(const Coder& coder, uint64_t size) {
    if (m_count >= kMaxFilters) return false;
    Options& o = m_options[m_count];
    lzma_filter& filter = m_filters[m_count++];
    const auto& p = coder.properties;
    switch (MethodOf(coder)) {
      case Method::Lzma:
        if (p.size() < 5 || p[0] >= 9 * 5 * 5) return false;
        filter = {LZMA_FILTER_LZMA1EXT, &o.lzma};
        o.lzma.lc = p[0] % 9;
        o.lzma.lp = p[0] / 9 % 5;
        o.lzma.pb = p[0] / 45;
        o.lzma.dict_size = Dictionary(Le32(p.data() + 1), size);
        o.lzma.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
        o.lzma.ext_size_low = static_cast<uint32_t>(size);
        o.lzma.ext_size_high = static_cast<uint32_t>(size >> 32);
        return true;
      case Method::Lzma2:
        if (p.size() < 1 || p[0] > 40) return false;
        filter = {LZMA_FILTER_LZMA2, &o.lzma};
        o.lzma.dict_size = Dictionary(p[0] == 40 ? UINT32_MAX : (2u | (p[0] & 1u)) << (p[0] / 2 + 11), size);
        return true;
      case Method::Delta:
        if (p.size() < 1) return false;
        filter = {LZMA_FILTER_DELTA, &o.delta};
        o.delta.type = LZMA_DELTA_TYPE_BYTE;
        o.delta.dist = p[0] + 1u;
        return true;
      default:
        break;
    }
    filter = {BranchFilter(MethodOf(coder)), &o.bcj};
    if (p.size() >= 4) o.bcj.start_offset = Le32(p.data());
    return filter.id != LZMA_VLI_UNKNOWN && lzma_filter_decoder_is_supported(filter.id);
  }

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    if (!m_started && !start()) return -1;
    if (m_ended) return 0;
    for (;;) {
      if (m_wrapped ? !refillWrapped() : !refill()) return -1;
      m_strm.next_in = m_next;
      m_strm.avail_in = m_avail;
      m_strm.next_out = out;
      m_strm.avail_out = n;
      const lzma_ret rc = lzma_code(&m_strm, LZMA_RUN);
      used(m_avail - m_strm.avail_in);
      const auto made = static_cast<int64_t>(n - m_strm.avail_out);
      m_ended = rc == LZMA_STREAM_END;
      if (m_ended || made > 0) return made;
      if (rc == LZMA_MEM_ERROR) return fail(kErrMemory, FailureText(kErrMemory));
      if (rc == LZMA_BUF_ERROR || (rc == LZMA_OK && m_avail == 0 && m_belowEnded)) return fail(kErrDamaged, kCut);
      if (rc != LZMA_OK) return fail(kErrDamaged, "LZMAデータが正しくありません");
    }
  }

 private:
  // No match reaches further back than the data is long: a small member of an
  // archive made with a large dictionary (or a header that claims 4 GB) needs
  // no more memory than its size.
  static uint32_t Dictionary(uint32_t claimed, uint64_t size) {
    return static_cast<uint32_t>(std::max<uint64_t>(LZMA_DICT_SIZE_MIN, std::min<uint64_t>(claimed, size)));
  }
  static lzma_vli BranchFilter(Method m) {
    switch (m) {
      case Method::X86:
        return LZMA_FILTER_X86;
      case Method::PowerPc:
        return LZMA_FILTER_POWERPC;
      case Method::Ia64:
        return LZMA_FILTER_IA64;
      case Method::Arm:
        return LZMA_FILTER_ARM;
      case Method::ArmThumb:
        return LZMA_FILTER_ARMTHUMB;
      case Method::Sparc:
        return LZMA_FILTER_SPARC;
      case Method::Arm64:
        return LZMA_FILTER_ARM64;
      default:
        return LZMA_VLI_UNKNOWN;
    }
  }

  bool start() {
    m_started = true;
    if (m_wrapped) {
      // Stored chunks need no more dictionary than the smallest.
      lzma_filter& last = m_filters[m_count++];
      m_options[kMaxFilters - 1].lzma.dict_size = LZMA_DICT_SIZE_MIN;
      last = {LZMA_FILTER_LZMA2, &m_options[kMaxFilters - 1].lzma};
    }
    m_filters[m_count] = {LZMA_VLI_UNKNOWN, nullptr};
    const lzma_ret rc = lzma_raw_decoder(&m_strm, m_filters.data());
    if (rc == LZMA_OK) return true;
    fail(rc == LZMA_MEM_ERROR ? kErrMemory : kErrUnsupported,
         rc == LZMA_MEM_ERROR ? FailureText(kErrMemory) : UnsupportedReason("LZMA"));
    return false;
  }

  // The data of the stage below as LZMA2 chunks of stored bytes, then LZMA2's end.
  bool refillWrapped() {
    if (m_avail > 0 || m_belowEnded) return true;
    const int64_t got = m_below->read(m_in.data() + 3, kStageInput);
    if (got < 0) return false;
    m_next = m_in.data();
    if (got == 0) {
      m_belowEnded = true;
      m_in[0] = 0x00;
      m_avail = 1;
      return true;
    }
    m_in[0] = m_chunks++ == 0 ? 0x01 : 0x02;  // the first resets the dictionary
    m_in[1] = static_cast<uint8_t>((got - 1) >> 8);
    m_in[2] = static_cast<uint8_t>(got - 1);
    m_avail = 3 + static_cast<size_t>(got);
    return true;
  }

  bool m_wrapped;
  bool m_started = false, m_ended = false;
  uint64_t m_chunks = 0;
  size_t m_count = 0;
  std::array<lzma_filter, kMaxFilters + 1> m_filters{};
  std::array<Options, kMaxFilters> m_options{};
  lzma_stream m_strm = LZMA_STREAM_INIT;
};

}  // namespace

bool IsFilter(Method m) {
  switch (m) {
    case Method::X86:
    case Method::PowerPc:
    case Method::Ia64:
    case Method::Arm:
    case Method::ArmThumb:
    case Method::Sparc:
    case Method::Arm64:
    case Method::Delta:
      return true;
    default:
      return false;
  }
}

std::unique_ptr<Stage> MakeLzmaStage(std::shared_ptr<Failure> failure, uint64_t size, std::unique_ptr<Stage> below,
                                     bool wrapped, const std::vector<std::pair<const Coder*, uint64_t>>& coders) {
  auto stage = std::make_unique<LzmaStage>(failure, size, std::move(below), wrapped);
  for (const auto& [coder, coderSize] : coders) {
    if (!stage->add(*coder, coderSize)) {
      if (failure->code == 0) *failure = {kErrUnsupported, UnsupportedReason(MethodName(*coder))};
      return nullptr;
    }
  }
  return stage;
}

}  // namespace rkarc::sevenzip
