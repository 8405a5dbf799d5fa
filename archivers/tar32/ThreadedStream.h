// Decodes another ByteStream on a thread of its own, a few blocks ahead of
// the reader, so that decompression and writing the members run on two
// cores, as a decompressor piped into tar does. The inner stream's checks
// and errors reach the reader unchanged, in order; memory stays at
// kBlocks x kBlockSize whatever the archive's size.
#pragma once

#include <atomic>
#include <memory>

#include "archivers/common/ReadAhead.h"
#include "archivers/tar32/ByteStream.h"

namespace rkarc::tar {

class ThreadedStream : public ByteStream {
 public:
  // `make` builds the inner stream with the input-position callback it is
  // given; `onInput` hears that position on the reading thread only.
  using InnerFactory = std::function<std::unique_ptr<ByteStream>(std::function<void(uint64_t)>)>;
  ThreadedStream(const InputFile& file, const InnerFactory& make, std::function<void(uint64_t)> onInput);
  ~ThreadedStream() override;

  int64_t read(void* out, size_t n) override;
  // The rest of the current block, without a copy.
  int64_t readView(const void** data) override;

  static constexpr size_t kBlockSize = 256 * 1024;
  static constexpr size_t kBlocks = 6;

 private:
  // After a read: past the end, copies the inner stream's error, if any, and
  // what it ignored into this stream.
  int64_t settle(int64_t got);

  std::unique_ptr<ByteStream> m_inner;
  std::function<void(uint64_t)> m_onInput;
  std::atomic<uint64_t> m_inputAt{0};
  uint64_t m_reportedAt = 0;
  std::unique_ptr<ReadAhead> m_ahead;  // last: its thread stops before the inner stream goes
};

}  // namespace rkarc::tar
