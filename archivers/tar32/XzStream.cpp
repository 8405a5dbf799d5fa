// xz, lzip and .lzma decoding with liblzma; see XzStream.h.
#include "archivers/tar32/XzStream.h"

#include <algorithm>
#include <string>
#include <thread>

#include "archivers/common/ResultCodes.h"

namespace rkarc::tar {
namespace {

// A dictionary beyond this is refused rather than allocated: no ordinary
// encoder setting needs more (xz -9 and lzip -9 use 64 MiB, 7-Zip's largest
// 1.5 GiB is for archives of its own).
constexpr uint64_t kMemoryLimit = 1ull << 30;
// Blocks are decoded side by side only while their buffers stay within this;
// beyond it the decoder goes on with one thread.
constexpr uint64_t kThreadingMemory = 96ull << 20;
constexpr uint32_t kMaxThreads = 8;

// The magic, then the stream flags (a check type below 16) or lzip's version 1.
constexpr std::string_view kXzStart("\xFD" "7zXZ\0\0\0", 8);
constexpr ByteStream::StreamStart kXzStarts[] = {{kXzStart, 6, "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xF0"}};
constexpr ByteStream::StreamStart kLzipStarts[] = {{"LZIP\x01", 4}};

}  // namespace

XzStream::XzStream(const InputFile& file, Format format, std::function<void(uint64_t)> onInput)
    : ByteStream(file, std::move(onInput)), m_format(format) {
  m_next = input().data();
  m_ready = start();
}

XzStream::~XzStream() { lzma_end(&m_lz); }

bool XzStream::start() {
  switch (m_format) {
    case Format::Xz: {
      // This stream already decodes on a thread of its own while the members
      // are written on another: blocks go side by side only on the cores
      // beyond those two, where they cost memory and copying for a gain.
      const unsigned cores = std::thread::hardware_concurrency();
      if (cores <= 2) return lzma_stream_decoder(&m_lz, kMemoryLimit, LZMA_TELL_UNSUPPORTED_CHECK) == LZMA_OK;
      lzma_mt mt{};
      mt.flags = LZMA_TELL_UNSUPPORTED_CHECK;
      mt.threads = std::min(cores - 1, kMaxThreads);
      mt.memlimit_threading = kThreadingMemory;
      mt.memlimit_stop = kMemoryLimit;
      return lzma_stream_decoder_mt(&m_lz, &mt) == LZMA_OK;
    }
    case Format::Lzip:
      return lzma_lzip_decoder(&m_lz, kMemoryLimit, 0) == LZMA_OK;
    case Format::Lzma:
      return lzma_alone_decoder(&m_lz, kMemoryLimit) == LZMA_OK;
  }
  return false;
}

const char* XzStream::name() const {
  switch (m_format) {
    case Format::Xz: return "xz";
    case Format::Lzip: return "lzip";
    case Format::Lzma: return "lzma";
  }
  return "";
}

int64_t XzStream::decoderError(lzma_ret rc) {
  const std::string format = name();
  switch (rc) {
    case LZMA_MEM_ERROR:
      return fail(kErrMemory, "メモリが足りません");
    case LZMA_MEMLIMIT_ERROR:
      return fail(kErrMemory, "メモリが足りません（" + format + "の辞書が大きすぎます）");
    case LZMA_OPTIONS_ERROR:
    case LZMA_UNSUPPORTED_CHECK:
      return fail(kErrUnsupported, "対応していない圧縮方式です（" + format + "）");
    case LZMA_BUF_ERROR:
      return fail(kErrDamaged, format + "データが途中で切れています");
    default:
      // A check that does not match is LZMA_DATA_ERROR too: liblzma does not tell them apart.
      return fail(kErrDamaged, format + "データが壊れています");
  }
}

bool XzStream::nextStream() {
  std::span<const StreamStart> starts;
  if (m_format == Format::Xz) {
    // Stream padding: zero bytes in fours, between streams or at the end.
    for (;;) {
      while (m_available > 0 && *m_next == 0) ++m_next, --m_available;
      if (m_available > 0 || !fill(m_next, m_available)) break;
    }
    if (errorCode() != 0) return false;
    starts = kXzStarts;
  } else if (m_format == Format::Lzip) {
    starts = kLzipStarts;
  }
  // A .lzma file holds one stream: whatever follows it is trailing data.
  switch (afterStream(m_next, m_available, starts)) {
    case AfterStream::Another: {
      // A new decoder writes on where the last one stopped in this read().
      uint8_t* const out = m_lz.next_out;
      const size_t room = m_lz.avail_out;
      lzma_end(&m_lz);
      m_lz = LZMA_STREAM_INIT;
      m_lz.next_out = out;
      m_lz.avail_out = room;
      if (start()) return true;
      fail(kErrMemory, "メモリが足りません");
      return false;
    }
    case AfterStream::End:
      return true;
    case AfterStream::Failed:
      break;
  }
  return false;
}

int64_t XzStream::read(void* out, size_t n) {
  if (errorCode() != 0) return -1;
  if (!m_ready) return fail(kErrMemory, "メモリが足りません");
  m_lz.next_out = static_cast<uint8_t*>(out);
  m_lz.avail_out = n;
  while (!ended() && m_lz.avail_out == n) {
    if (m_available == 0 && !atFileEnd() && !fill(m_next, m_available) && errorCode() != 0) return -1;
    m_lz.next_in = m_next;
    m_lz.avail_in = m_available;
    // At the end of the file the decoder is told so: it then finishes what
    // it holds (threads still at work) or says the data was cut.
    const lzma_ret rc = lzma_code(&m_lz, m_available == 0 && atFileEnd() ? LZMA_FINISH : LZMA_RUN);
    m_next = m_lz.next_in;
    m_available = m_lz.avail_in;
    if (rc == LZMA_STREAM_END) {
      if (!nextStream()) return -1;
    } else if (rc != LZMA_OK) {
      return decoderError(rc);
    }
  }
  return static_cast<int64_t>(n - m_lz.avail_out);
}

}  // namespace rkarc::tar
