// Decoding one 7z folder; see SevenZipFolder.h. The coders are stages, each
// pulling from the ones nearer the pack streams (LzmaStage.h, Bcj2Stage.h).
#include "archivers/sevenzip32/SevenZipFolder.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <vector>

#include "archivers/common/Deflate64Decoder.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/sevenzip32/AesStage.h"
#include "archivers/sevenzip32/Bcj2Stage.h"
#include "archivers/sevenzip32/LzmaStage.h"
#include "archivers/sevenzip32/Stage.h"

namespace rkarc::sevenzip {

namespace {

constexpr uint64_t kThreadedSize = 4 * 1024 * 1024;
// Decoded ahead of the reader: four blocks of 1 MB.
constexpr size_t kAheadBlockSize = 1024 * 1024;
constexpr size_t kAheadBlocks = 4;
constexpr const char* kCycle = "コーダーの結び付きが循環しています";

class PackStage : public Stage {
 public:
  PackStage(std::shared_ptr<Failure> f, const InputFile& file, uint64_t offset, uint64_t size,
            std::atomic<uint64_t>* inputAt)
      : Stage(std::move(f), size), m_file(file), m_at(offset), m_inputAt(inputAt) {}

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    const int64_t got = m_file.readAt(m_at, out, n);
    if (got < 0) return fail(kErrArchiveOpen, "書庫を読めません");
    m_at += static_cast<uint64_t>(got);
    m_inputAt->store(m_at, std::memory_order_relaxed);
    return got;
  }

 private:
  const InputFile& m_file;
  uint64_t m_at;
  std::atomic<uint64_t>* m_inputAt;
};

// A stage that decodes what the stage below hands out, through a buffer.

class CopyStage : public Stage {
 public:
  CopyStage(std::shared_ptr<Failure> f, uint64_t size, std::unique_ptr<Stage> below)
      : Stage(std::move(f), size), m_below(std::move(below)) {}

 protected:
  int64_t decode(uint8_t* out, size_t n) override { return m_below->read(out, n); }

 private:
  std::unique_ptr<Stage> m_below;
};

enum class Step { More, End, Bad };

// zlib's raw inflate and libbz2 behind one shape: run() takes what it can of
// the input, fills what it can of the output, and says whether the stream ended.
struct ZlibCodec {
  static constexpr const char* kBad = "deflateデータが正しくありません";
  z_stream z{};
  bool ready = inflateInit2(&z, -15) == Z_OK;
  ~ZlibCodec() {
    if (ready) inflateEnd(&z);
  }
  Step run(uint8_t* in, size_t& inAvail, uint8_t* out, size_t& outAvail) {
    z.next_in = in;
    z.avail_in = static_cast<uInt>(inAvail);
    z.next_out = out;
    z.avail_out = static_cast<uInt>(outAvail);
    const int rc = inflate(&z, Z_NO_FLUSH);
    inAvail = z.avail_in;
    outAvail = z.avail_out;
    return rc == Z_STREAM_END ? Step::End : rc == Z_OK || rc == Z_BUF_ERROR ? Step::More : Step::Bad;
  }
};

struct Bzip2Codec {
  static constexpr const char* kBad = "bzip2データが正しくありません";
  bz_stream bz{};
  bool ready = BZ2_bzDecompressInit(&bz, 0, 0) == BZ_OK;
  ~Bzip2Codec() {
    if (ready) BZ2_bzDecompressEnd(&bz);
  }
  Step run(uint8_t* in, size_t& inAvail, uint8_t* out, size_t& outAvail) {
    bz.next_in = reinterpret_cast<char*>(in);
    bz.avail_in = static_cast<unsigned>(inAvail);
    bz.next_out = reinterpret_cast<char*>(out);
    bz.avail_out = static_cast<unsigned>(outAvail);
    const int rc = BZ2_bzDecompress(&bz);
    inAvail = bz.avail_in;
    outAvail = bz.avail_out;
    return rc == BZ_STREAM_END ? Step::End : rc == BZ_OK ? Step::More : Step::Bad;
  }
};

template <typename Codec>
class CodecStage : public BufferedStage {
 public:
  using BufferedStage::BufferedStage;

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    if (!m_codec.ready) return fail(kErrMemory, FailureText(kErrMemory));
    if (m_ended) return 0;
    for (;;) {
      if (!refill()) return -1;
      size_t in = m_avail, room = n;
      const Step step = m_codec.run(m_next, in, out, room);
      used(m_avail - in);
      if (step == Step::Bad) return fail(kErrDamaged, Codec::kBad);
      const auto made = static_cast<int64_t>(n - room);
      m_ended = step == Step::End;
      if (m_ended || made > 0) return made;
      if (m_avail == 0 && m_belowEnded) return fail(kErrDamaged, kCut);
    }
  }

 private:
  Codec m_codec;
  bool m_ended = false;
};

class Deflate64Stage : public Stage {
 public:
  Deflate64Stage(std::shared_ptr<Failure> f, uint64_t size, std::unique_ptr<Stage> below)
      : Stage(std::move(f), size),
        m_below(std::move(below)),
        m_decoder([this](uint8_t* buffer, size_t n) { return m_below->read(buffer, n); }) {}

 protected:
  int64_t decode(uint8_t* out, size_t n) override {
    const int64_t got = m_decoder.read(out, n);
    if (got >= 0) return got;
    switch (m_decoder.status()) {
      case Deflate64Decoder::Status::Truncated:
        return fail(kErrDamaged, kCut);
      case Deflate64Decoder::Status::Damaged:
        return fail(kErrDamaged, "deflate64データが正しくありません");
      default:
        return -1;  // the stage below has said why
    }
  }

 private:
  std::unique_ptr<Stage> m_below;
  Deflate64Decoder m_decoder;
};

}  // namespace

// Builds the stages of a folder from its output back to its pack streams
// along the bind pairs. Every coder has one out-stream, so out-stream i is
// coder i's; a coder's in-streams follow those of the coders before it.
class StageBuilder {
 public:
  StageBuilder(const InputFile& file, uint64_t base, const Folder& folder, std::shared_ptr<Failure> failure,
               std::atomic<uint64_t>* inputAt, const std::string* password)
      : m_file(file),
        m_base(base),
        m_folder(folder),
        m_failure(std::move(failure)),
        m_inputAt(inputAt),
        m_password(password) {}

  // The data of coder `c`'s output; null after a failure.
  std::unique_ptr<Stage> output(size_t c) {
    if (++m_depth > m_folder.coders.size()) return refuse(kErrDamaged, kCycle);
    const Coder& coder = m_folder.coders[c];
    const Method m = MethodOf(coder);
    const uint64_t size = m_folder.unpackSizes[c];
    if (m == Method::Bcj2) {
      if (coder.inStreams != 4) return refuse(kErrUnsupported, UnsupportedReason("BCJ2"));
      std::array<std::unique_ptr<Stage>, 4> inputs;
      for (uint64_t k = 0; k < 4; ++k)
        if (!(inputs[k] = input(firstIn(c) + k))) return nullptr;
      return MakeBcj2Stage(m_failure, size, std::move(inputs));
    }
    if (coder.inStreams != 1) return refuse(kErrUnsupported, UnsupportedReason(MethodName(coder)));
    if (IsFilter(m) || m == Method::Lzma || m == Method::Lzma2) return lzma(c);
    auto below = input(firstIn(c));
    if (!below) return nullptr;
    if (m == Method::Copy) return std::make_unique<CopyStage>(m_failure, size, std::move(below));
    if (m == Method::Deflate) return std::make_unique<CodecStage<ZlibCodec>>(m_failure, size, std::move(below));
    if (m == Method::Deflate64) return std::make_unique<Deflate64Stage>(m_failure, size, std::move(below));
    if (m == Method::Bzip2) return std::make_unique<CodecStage<Bzip2Codec>>(m_failure, size, std::move(below));
    if (m == Method::Aes) {
      if (!m_password) return refuse(kErrEncrypted, FailureText(kErrEncrypted));
      return MakeAesStage(m_failure, size, std::move(below), coder, *m_password);
    }
    return refuse(kErrUnsupported, UnsupportedReason(MethodName(coder)));
  }

 private:
  uint64_t firstIn(size_t c) const {
    uint64_t in = 0;
    for (size_t i = 0; i < c; ++i) in += m_folder.coders[i].inStreams;
    return in;
  }

  // What feeds in-stream `in`: another coder's output, or a pack stream.
  std::unique_ptr<Stage> input(uint64_t in) {
    for (const auto& [bound, out] : m_folder.bindPairs)
      if (bound == in) return output(static_cast<size_t>(out));
    uint64_t offset = m_base + m_folder.packOffset;
    for (size_t k = 0; k < m_folder.packedStreams.size() && k < m_folder.packSizes.size(); ++k) {
      if (m_folder.packedStreams[k] == in)
        return std::make_unique<PackStage>(m_failure, m_file, offset, m_folder.packSizes[k], m_inputAt);
      offset += m_folder.packSizes[k];
    }
    return refuse(kErrDamaged, "パックストリームがありません");
  }

  // The coder that feeds coder `c`'s one in-stream, if a coder does.
  std::optional<size_t> below(size_t c) const {
    const uint64_t in = firstIn(c);
    for (const auto& [bound, out] : m_folder.bindPairs)
      if (bound == in && m_folder.coders[out].inStreams == 1) return static_cast<size_t>(out);
    return std::nullopt;
  }

  // Filters with the LZMA or LZMA2 coder below them in one liblzma decoder;
  // filters over any other coder on their own, over the stored LZMA2 they
  // are fed. liblzma takes four: three filters and LZMA or that LZMA2.
  std::unique_ptr<Stage> lzma(size_t c) {
    std::vector<size_t> coders = {c};
    while (IsFilter(MethodOf(m_folder.coders[coders.back()]))) {
      const auto next = below(coders.back());
      if (!next) break;
      const Method m = MethodOf(m_folder.coders[*next]);
      const bool last = m == Method::Lzma || m == Method::Lzma2;
      if (last ? coders.size() >= kMaxLzmaFilters : !IsFilter(m) || coders.size() + 1 >= kMaxLzmaFilters) break;
      coders.push_back(*next);
      if (++m_depth > m_folder.coders.size()) return refuse(kErrDamaged, kCycle);
    }
    const size_t bottom = coders.back();
    auto source = input(firstIn(bottom));
    if (!source) return nullptr;
    std::vector<std::pair<const Coder*, uint64_t>> chain;
    for (const size_t k : coders) chain.emplace_back(&m_folder.coders[k], m_folder.unpackSizes[k]);
    return MakeLzmaStage(m_failure, m_folder.unpackSizes[c], std::move(source),
                         IsFilter(MethodOf(m_folder.coders[bottom])), chain);
  }

  std::unique_ptr<Stage> refuse(int32_t code, std::string reason) {
    if (m_failure->code == 0) *m_failure = {code, std::move(reason)};
    return nullptr;
  }

  const InputFile& m_file;
  uint64_t m_base;
  const Folder& m_folder;
  std::shared_ptr<Failure> m_failure;
  std::atomic<uint64_t>* m_inputAt;
  const std::string* m_password;
  size_t m_depth = 0;
};

FolderReader::FolderReader(const InputFile& file, uint64_t base, const Folder& folder, Progress* progress,
                           const std::string* password)
    : m_file(file), m_progress(progress), m_failure(std::make_shared<Failure>()) {
  if (folder.mainOut < folder.coders.size())
    m_top = StageBuilder(file, base, folder, m_failure, &m_inputAt, password).output(folder.mainOut);
  // A small folder is not worth a thread: 1,000 small archives start one each.
  if (m_top && folder.size() >= kThreadedSize)
    m_ahead = std::make_unique<ReadAhead>([this](uint8_t* out, size_t n) { return m_top->read(out, n); },
                                          kAheadBlockSize, kAheadBlocks);
}

FolderReader::~FolderReader() = default;

int64_t FolderReader::read(uint8_t* out, size_t n) {
  if (!m_top) return -1;
  const int64_t got = m_ahead ? m_ahead->read(out, n) : m_top->read(out, n);
  if (m_progress) m_progress->update(m_inputAt.load(std::memory_order_relaxed), m_file.size());
  return got;
}

}  // namespace rkarc::sevenzip
