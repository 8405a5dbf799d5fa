// The MSZIP data of one cabinet folder, decoded with ISA-L's inflate: each
// data block (CFDATA) holds "CK" and a deflate stream ending in its last
// block, which may copy from the 32 KB decoded before it. libmspack's own
// inflate took half again as long as zlib's on a 300 MB cabinet, and zlib's
// about twice ISA-L's. Every block's checksum is verified; a block that is
// damaged, too long or past the cabinet's end fails.
#pragma once

#include <isa-l/igzip_lib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "archivers/cab32/CabLocator.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ArchiveFile.h"

namespace rkarc {

class CabMszip {
 public:
  using Observer = std::function<void(uint64_t filePosition)>;

  // `file`, `location` and `observer` stay alive while this is used.
  CabMszip(const ArchiveFile& file, const CabLocation& location, size_t folder, const Observer& observer);
  ~CabMszip();
  CabMszip(const CabMszip&) = delete;
  CabMszip& operator=(const CabMszip&) = delete;

  // The first folder offset read() can still start at.
  uint64_t position() const { return m_outStart; }

  // Decodes on to the folder offset `from` (at least position()) and hands the
  // `size` bytes from there to `output`.
  CabError read(uint64_t from, uint64_t size, const CabReader::Output& output);

 private:
  CabError nextBlock();

  const ArchiveFile& m_file;
  const CabLocation& m_location;
  const CabFolderEntry& m_folder;
  const Observer& m_observer;
  uint16_t m_blocksRead = 0;
  uint64_t m_blockAt;  // offset of the next CFDATA in the cabinet
  std::unique_ptr<inflate_state> m_state;  // ~100 KB, made for the first block
  std::vector<uint8_t> m_in;
  std::vector<uint8_t> m_out;
  uint64_t m_outStart = 0;  // folder offset of m_out[0]
  size_t m_outSize = 0;     // bytes decoded into m_out
};

}  // namespace rkarc
