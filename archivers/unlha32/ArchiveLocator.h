// Finds where the LZH archive starts in a file: at 0 for a plain archive,
// otherwise behind an executable stub (self-extracting .EXE, .COM, .X). The
// archive is looked for where the executable image ends, then by a bounded
// forward scan; a candidate counts only when its header verifies and is
// followed by another valid header or the end of the archive. Another
// archive kind met first (ZIP, RAR, CAB, ARJ, 7z) means the file is not ours.
// An archive inside the image itself (Amiga self-extractors carry one with
// their usage text) is the stub's own, not the one to extract.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archivers/unlha32/ArchiveFile.h"
#include "archivers/unlha32/ExecutableImage.h"
#include "archivers/unlha32/LzhHeaderParser.h"

namespace rkarc {

class ArchiveLocator {
 public:
  struct Location {
    uint64_t offset = 0;
    ExecutableImage::Kind stub = ExecutableImage::Kind::None;
    bool firstHeaderValid = true;  // false: a plain archive whose first header is damaged
    // The only archive found lies inside the executable image, with more of
    // the image after it: the self-extractor's own (a usage text), not the
    // archive it carries.
    bool stubsOwn = false;
  };

  explicit ArchiveLocator(const ArchiveFile& file) : m_file(file), m_parser(file) {}

  std::optional<Location> find() const;

  // The next position at or after `from` (and before `to`) where a verified
  // header followed by a valid successor starts; used to step over damage.
  std::optional<uint64_t> resync(uint64_t from, uint64_t to) const;

  // True when only end-of-file padding (0x00, 0x1A) lies from `from` to the end.
  bool onlyPaddingFrom(uint64_t from) const;

  // How far past the image end (or the start of the file) the scan looks.
  static constexpr uint64_t kScanWindow = 4u << 20;

 private:
  enum class ScanResult { Found, Foreign, None };
  ScanResult scan(uint64_t from, uint64_t to, bool stopAtForeign, uint64_t& found) const;
  bool isCandidate(uint64_t offset) const;
  // Where the archive that starts at `offset` ends: after its end marker or last member.
  uint64_t archiveEnd(uint64_t offset) const;

  const ArchiveFile& m_file;
  LzhHeaderParser m_parser;
};

}  // namespace rkarc
