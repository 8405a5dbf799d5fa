// Writing the members of a 7z archive whose folders this module decodes:
// folder by folder in order, each member checked against its CRC before it
// takes its name. A member of an encrypted folder without a password, or of
// one whose method no library here decodes, is refused with the reason; the
// others are written.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/sevenzip32/SevenZipArchive.h"

namespace rkarc::sevenzip {

class Extraction {
 public:
  // `unnamed`: the name of a member stored without one (the archive's name
  // without its extension, as 7-Zip names it); `password` (UTF-8, or null)
  // opens the encrypted folders.
  Extraction(const InputFile& file, uint64_t base, const ArchiveHeader& archive, ExtractRequest& request,
             SafeWriter& writer, Progress& progress, std::string unnamed, const std::string* password);
  void run();

 private:
  Member memberOf(const Entry& entry) const;
  void writeData(const Entry& entry, Member& member);
  // Why the members of `folder` cannot be read; code 0 when they can.
  Failure folderFailure(size_t folder);
  // Reads the entry's data of the current folder into `consume` (null: drops
  // it) and checks its CRC; false with the failure when that fails.
  bool pull(const Entry& entry, const std::function<bool(const uint8_t*, size_t)>& consume, Failure& failure);

  const InputFile& m_file;
  uint64_t m_base;
  const ArchiveHeader& m_archive;
  ExtractRequest& m_request;
  SafeWriter& m_writer;
  Progress& m_progress;
  std::string m_unnamed;
  const std::string* m_password;

  size_t m_folder = SIZE_MAX;  // the folder being read
  std::unique_ptr<FolderReader> m_reader;
  Failure m_broken;  // what stopped the current folder
  std::vector<uint8_t> m_buffer;
};

}  // namespace rkarc::sevenzip
