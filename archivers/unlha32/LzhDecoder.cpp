// liblhasa decoder wrapper; see LzhDecoder.h.
#include "archivers/unlha32/LzhDecoder.h"

#include <lhasa.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "archivers/unlha32/LhDecoder.h"
#include "archivers/unlha32/LhOldDecoder.h"

namespace rkarc {
namespace {

// Where the decoder's input comes from: the member's compressed bytes only.
// liblhasa asks for a few bytes at a time, so the file is read in large
// blocks here; one read per request made extraction a system call per 3 bytes.
struct Input {
  const ArchiveFile* file;
  uint64_t position;  // file offset of the next block to read
  uint64_t end;
  const LzhDecoder::Position* progress;
  bool readError = false;
  std::vector<uint8_t> block = std::vector<uint8_t>(kBlockSize);
  size_t next = 0;       // first unread byte in block
  size_t available = 0;  // unread bytes in block

  static constexpr size_t kBlockSize = 64 * 1024;

  bool refill() {
    if (position >= end) return false;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), end - position));
    const int64_t n = file->readAt(position, block.data(), want);
    if (n <= 0) {
      readError = n < 0;
      return false;
    }
    position += static_cast<uint64_t>(n);
    next = 0;
    available = static_cast<size_t>(n);
    if (*progress) (*progress)(position);
    return true;
  }
};

// liblhasa's decoders take a short count as the end of the input: the
// -lz5- decoder asks for two bytes at once and, given one at the end of a
// block, would decode the second from garbage. So a request is filled across
// blocks, and only the end of the member's data gives less.
size_t ReadInput(void* buffer, size_t size, void* data) {
  auto* in = static_cast<Input*>(data);
  auto* to = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < size && (in->available > 0 || in->refill())) {
    const size_t n = std::min(size - done, in->available);
    std::memcpy(to + done, in->block.data() + in->next, n);
    in->next += n;
    in->available -= n;
    done += n;
  }
  return done;
}

LHADecoderType* DecoderFor(std::string_view method) {
  // liblhasa's decoder table has no entry for folders or unknown methods.
  if (method.size() != 5) return nullptr;
  std::string name(method);
  return lha_decoder_for_name(name.data());
}

struct DecoderDeleter {
  void operator()(LHADecoder* d) const { lha_decoder_free(d); }
};

}  // namespace

bool LzhDecoder::Supports(std::string_view method) {
  return LhOldDecoder::Handles(method) || DecoderFor(method) != nullptr;
}

LzhDecoder::Result LzhDecoder::Decode(const ArchiveFile& file, const LzhHeader& header,
                                      const Output& output, const Position& position) {
  if (const int windowBits = LhDecoder::WindowBits(header.method))
    return LhDecoder::Decode(file, header, windowBits, output, position);
  if (LhOldDecoder::Handles(header.method)) return LhOldDecoder::Decode(file, header, output, position);
  LHADecoderType* type = DecoderFor(header.method);
  if (type == nullptr) return Result::Damaged;
  Input in{&file, header.dataOffset(), header.endOffset(), &position};
  std::unique_ptr<LHADecoder, DecoderDeleter> decoder(
      lha_decoder_new(type, ReadInput, &in, static_cast<size_t>(header.originalSize)));
  if (!decoder) return Result::Damaged;

  std::vector<uint8_t> buffer(64 * 1024);
  uint64_t done = 0;
  while (done < header.originalSize) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), header.originalSize - done));
    const size_t n = lha_decoder_read(decoder.get(), buffer.data(), want);
    if (n == 0) break;
    done += n;
    if (!output(buffer.data(), n)) return Result::OutputFailed;
  }
  if (in.readError) return Result::ReadError;
  if (done < header.originalSize) return header.endOffset() > file.size() ? Result::Truncated : Result::Damaged;
  // liblhasa keeps the CRC-16 of what it decoded; a second one here cost an eighth of the time.
  if (header.hasCrc && lha_decoder_get_crc(decoder.get()) != header.crc) return Result::CrcMismatch;
  return Result::Ok;
}

}  // namespace rkarc
