// A decompressed byte stream over an archive file (gzip, bzip2) that checks
// every checksum the format has and reports damage instead of returning
// wrong bytes as data (docs/formats/GZIP-TAR.md sections 1, 3 and 4).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archivers/libarchive/InputFile.h"

namespace rkarc::tar {

class ByteStream {
 public:
  // How a stream of the format begins: `bytes`, each compared under its
  // mask (`masks`, shorter than `bytes` or empty: the rest whole), of which
  // the first `magic` make data another stream.
  struct StreamStart {
    std::string_view bytes;
    size_t magic;
    std::string_view masks = {};
  };

  // `onInput` hears how many bytes of the file have been consumed.
  ByteStream(const InputFile& file, std::function<void(uint64_t)> onInput)
      : m_file(file), m_onInput(std::move(onInput)), m_in(64 * 1024) {}
  virtual ~ByteStream() = default;
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  // Up to `n` bytes; 0 at the verified end; -1 on damage (see errorCode()).
  virtual int64_t read(void* out, size_t n) = 0;
  // As read(), but the bytes stay where the stream holds them: `*data`
  // points at them until the next call.
  virtual int64_t readView(const void** data);

  int32_t errorCode() const { return m_errorCode; }
  const std::string& errorReason() const { return m_errorReason; }
  // Bytes after the last complete stream that were neither another stream
  // nor zero padding, nor anything like the start of one, and were ignored;
  // 0 when there were none.
  uint64_t ignoredTrailingBytes() const { return m_ignoredTrailing; }

  // Reads to the end; true when the whole stream checks out.
  bool verify();
  // True once afterStream() found no further stream: the data is whole.
  bool ended() const { return m_ended; }

 protected:
  // Moves unread input to the front of the buffer and tops it up from the
  // file. False when nothing new could be read (end of file or read error).
  bool fill(const unsigned char*& next, size_t& available);
  // What the file holds after a complete, checked stream, from `next` on.
  enum class AfterStream { Another, End, Failed };
  // Another stream when the bytes begin with the magic of one of `starts`.
  // Otherwise the end (ended() turns true) when they are zero padding (tape
  // blocks), passed over, or trailing data, ignored and counted, as gzip -t
  // and bsdtar do; but bytes that may be another stream with a damaged
  // start (a few bits off, or after the padding) fail: the data after them
  // would be lost unseen.
  AfterStream afterStream(const unsigned char*& next, size_t& available, std::span<const StreamStart> starts);
  int64_t fail(int32_t code, std::string reason);
  // For a stream that reads its input by other means: the next fill() reads
  // from file offset `offset`, and the input position is reported.
  void restartInputAt(uint64_t offset);
  void reportInput(uint64_t offset) {
    if (m_onInput) m_onInput(offset);
  }
  void setIgnoredTrailingBytes(uint64_t bytes) { m_ignoredTrailing = bytes; }
  bool atFileEnd() const { return m_offset >= m_file.size(); }

  std::vector<unsigned char>& input() { return m_in; }

 private:
  const InputFile& m_file;
  std::function<void(uint64_t)> m_onInput;
  std::vector<unsigned char> m_in;
  std::vector<char> m_view;  // readView()'s buffer, made on first use
  uint64_t m_offset = 0;  // next file offset to read
  uint64_t m_ignoredTrailing = 0;
  int32_t m_errorCode = 0;
  bool m_ended = false;
  std::string m_errorReason;
};

}  // namespace rkarc::tar
