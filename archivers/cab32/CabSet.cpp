// Following a set of cabinets; see CabSet.h.
#include "archivers/cab32/CabSet.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/RegularFile.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {
namespace {

// Set indexes are 16-bit; a chain longer than this is a loop.
constexpr size_t kMostCabinets = 1000;

// The next cabinet's file in `folder`: its stored name without any folder,
// also in another letter case (cabinets come from MS-DOS, where case does
// not count). Empty when there is none.
std::string FindNext(const std::string& folder, const std::string& stored) {
  const std::string name = stored.substr(stored.find_last_of("/\\") + 1);
  if (name.empty() || name == "." || name == "..") return {};
  struct stat st {};
  if (::stat((folder + name).c_str(), &st) == 0) return folder + name;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
  if (!dir) return {};
  while (const dirent* entry = readdir(dir.get()))
    if (EqualIgnoringAsciiCase(entry->d_name, name)) return folder + entry->d_name;
  return {};
}

}  // namespace

void CabSet::open(const std::string& path, const CabLocation& first) {
  m_header = first.header;
  m_firstOwnFolders = m_header.folders.size();
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  std::vector<std::string> seen{path};
  const CabHeader* last = &first.header;
  while ((last->flags & kCabFlagNextCabinet) && m_later.size() < kMostCabinets) {
    const std::string shown = SafeWriter::PrintableName(last->nextCabinet, NameCharset::Auto);
    const std::string found = FindNext(folder, last->nextCabinet);
    if (found.empty()) {
      m_broken = {kErrMultiVolume, "次の CAB がありません: " + shown};
      return;
    }
    auto part = std::make_unique<CabSetPart>();
    part->path = found;
    const CabError notInSet{kErrMultiVolume, "次の CAB（" + shown + "）はこの組の CAB ではありません"};
    if (std::find(seen.begin(), seen.end(), found) != seen.end()) {
      m_broken = notInSet;
      return;
    }
    if (!part->file.open(found)) {
      m_broken = {kErrArchiveOpen, "次の CAB（" + shown + "）を開けません"};
      return;
    }
    std::optional<CabLocation> location = CabLocator(part->file).find(false);
    if (!location || location->offset != 0 || location->header.setId != last->setId ||
        !(location->header.flags & kCabFlagPrevCabinet) || !join(location->header)) {
      m_broken = notInSet;
      return;
    }
    part->location = std::move(*location);
    seen.push_back(found);
    m_later.push_back(std::move(part));
    last = &m_later.back()->location.header;
  }
}

// Adds the next cabinet's folders and members. Where the last folder goes on
// in `next`, the two are one folder: its members listed again in `next`
// (continued from the previous cabinet) are dropped, the set's entries for
// them lie in that folder (or still go on), and the offsets of `next`'s
// members there count from the folder's start, as the data does.
bool CabSet::join(const CabHeader& next) {
  CabHeader merged = m_header;
  std::vector<CabFileEntry*> going;
  for (CabFileEntry& file : merged.files)
    if (file.continuedToNext()) going.push_back(&file);
  std::vector<const CabFileEntry*> again;
  for (const CabFileEntry& file : next.files)
    if (file.continuedFromPrev()) again.push_back(&file);
  const bool joined = !going.empty() || !again.empty();
  if (joined && (going.size() != again.size() ||
                 merged.folders.back().compressionType != next.folders.front().compressionType))
    return false;
  const size_t lastFolder = merged.folders.size() - 1;
  for (size_t i = 0; i < going.size(); ++i) {
    if (going[i]->folderOffset != again[i]->folderOffset || going[i]->size != again[i]->size) return false;
    going[i]->folderIndex = again[i]->continuedToNext() ? kCabContinuedToNext : static_cast<uint16_t>(lastFolder);
  }
  const size_t base = joined ? lastFolder : merged.folders.size();
  merged.folders.insert(merged.folders.end(), next.folders.begin() + (joined ? 1 : 0), next.folders.end());
  if (merged.folders.size() >= kCabContinuedFromPrev) return false;
  for (CabFileEntry file : next.files) {
    if (file.continuedFromPrev()) continue;
    if (!file.continuedToNext()) file.folderIndex = static_cast<uint16_t>(base + file.folderIndex);
    merged.files.push_back(std::move(file));
  }
  merged.flags = next.flags;
  merged.nextCabinet = next.nextCabinet;
  if (m_later.empty()) m_firstOwnFolders = joined ? lastFolder : lastFolder + 1;
  m_header = std::move(merged);
  return true;
}

}  // namespace rkarc
