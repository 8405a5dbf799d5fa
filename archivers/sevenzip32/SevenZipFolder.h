// The decoded data of one 7z folder, read in order: its pack stream through
// the chain of coders (Copy, LZMA, LZMA2, Deflate, Deflate64, BZip2, the
// branch and delta filters of liblzma and 7zAES). Each coder hands out exactly the size
// the header gives it; a stream that ends early, runs on or cannot be decoded
// fails with a reason.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "archivers/common/Module.h"
#include "archivers/libarchive/InputFile.h"
#include "archivers/common/ReadAhead.h"
#include "archivers/sevenzip32/SevenZipHeader.h"
#include "archivers/sevenzip32/SevenZipMethods.h"
#include "archivers/sevenzip32/Stage.h"

namespace rkarc::sevenzip {

class FolderReader {
 public:
  // `base`: where the archive's offsets count from (the end of its start header).
  // `password` (UTF-8) opens an encrypted folder; without one it fails.
  FolderReader(const InputFile& file, uint64_t base, const Folder& folder, Progress* progress,
               const std::string* password = nullptr);
  ~FolderReader();

  // Up to `n` bytes; 0 once the folder's whole size was read; -1 on failure.
  // A large folder is decoded on a thread of its own, ahead of the reader.
  int64_t read(uint8_t* out, size_t n);
  // Why read() failed; read it only after it did.
  const Failure& failure() const { return *m_failure; }

 private:
  const InputFile& m_file;
  Progress* m_progress;
  std::atomic<uint64_t> m_inputAt{0};  // the pack stream's position, for progress
  std::shared_ptr<Failure> m_failure;
  std::unique_ptr<Stage> m_top;
  std::unique_ptr<ReadAhead> m_ahead;  // last: its thread stops first
};

}  // namespace rkarc::sevenzip
