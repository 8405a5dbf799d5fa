// The loop shared by the libarchive-based modules: each entry becomes a
// Member for the safe writer, its data is read block by block into the
// member's sink, and every libarchive warning or error fails the member (a
// warning is never a success). Nothing is written by libarchive itself.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {

// What a module decides about one entry before its data is read.
struct EntryPlan {
  Member member;
  bool skip = false;    // the member is left out as if not asked for
  int32_t refusal = 0;  // non-zero: the member is reported with this code and not written
  std::string reason;
  std::optional<uint32_t> crc32;  // checked here where libarchive does not check the data
  // When set, a file member's data is decoded by this instead of through
  // libarchive (a faster decoder for a method libarchive also reads). It
  // commits or aborts the sink, and returns false where libarchive's reading
  // would have ended the archive.
  std::function<bool(MemberSink& sink)> data;
};

// The Member libarchive describes: its name bytes as libarchive holds them
// (charset Auto), type, mode, time and link target.
Member MemberFromEntry(archive_entry* entry);

// After archive_read_next_header() gave ARCHIVE_EOF: whether the archive
// ended with a mark of its own (tar's zero blocks), not merely where its
// data stopped.
bool EndedAtMark(archive* a);

// How reading an entry's data into its sink ended.
struct EntryData {
  enum class End { Read, SinkStopped, Aborted };
  End end = End::Read;  // Read: every block reached the sink, which is still open
  bool fatal = false;   // Aborted where libarchive cannot go on with the archive
  uint64_t written = 0;  // bytes of data and holes
  uint32_t crc = 0;      // CRC-32 of the data, when asked for
};

// Reads the current entry's data block by block into `sink`. With `holes`,
// a block further on leaves a hole before it (sparse members); without, it
// is damage, as is a block that goes back. A failure aborts the sink.
EntryData CopyEntryData(archive* a, MemberSink& sink, bool holes, bool crc);

class EntryExtractor {
 public:
  // Fills `plan` (already holding MemberFromEntry) for entry number `index`;
  // false stops the archive (the planner has recorded why).
  using Planner = std::function<bool(archive_entry* entry, size_t index, EntryPlan& plan)>;

  EntryExtractor(archive* a, SafeWriter& writer, ExtractRequest& request);

  // Reads every entry. False when the archive stopped early (damage, a full
  // disk); the writer holds the reason either way.
  bool run(const Planner& planner);
  size_t entries() const { return m_entries; }
  // After run() read to the end: whether the archive ended with a mark of
  // its own (tar's zero blocks), not merely where its data stopped.
  bool endMarked() const { return m_endMarked; }

 private:
  bool handle(archive_entry* entry, bool warned, const Planner& planner);
  // Copies the data of a file member; false after an error libarchive cannot recover from.
  bool copyData(archive_entry* entry, const EntryPlan& plan);

  archive* m_archive;
  SafeWriter& m_writer;
  ExtractRequest& m_request;
  size_t m_entries = 0;
  bool m_endMarked = false;
};

}  // namespace rkarc
