// The cabinets that follow the first one of a set, each named in the header
// of the one before ("next cabinet"): found in the same folder, their
// headers checked, and their members joined to one list in which a folder
// that goes on in the next cabinet is one folder, as the data runs on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archivers/cab32/CabLocator.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ArchiveFile.h"

namespace rkarc {

struct CabSetPart {
  std::string path;
  ArchiveFile file;
  CabLocation location;
};

class CabSet {
 public:
  // Follows the chain from the first cabinet (`location` in the file `path`)
  // while the cabinets are there. header() is the whole set's afterwards.
  void open(const std::string& path, const CabLocation& first);

  const std::vector<std::unique_ptr<CabSetPart>>& later() const { return m_later; }
  const CabHeader& header() const { return m_header; }
  // The first cabinet's folders that lie in it alone.
  size_t firstOwnFolders() const { return m_firstOwnFolders; }
  // Why the chain ended before the set did (a next cabinet that is not
  // there or not one of this set); no error when the set is whole.
  const CabError& broken() const { return m_broken; }

 private:
  bool join(const CabHeader& next);

  std::vector<std::unique_ptr<CabSetPart>> m_later;
  CabHeader m_header;
  size_t m_firstOwnFolders = 0;
  CabError m_broken;
};

}  // namespace rkarc
