// Reads one cabinet with libmspack: finds it in the file (plain or behind a
// stub), lists its members from our own checked header, and decodes a member
// into a callback with every data block's checksum verified (MSZIP, LZX,
// Quantum or stored data). It never writes to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archivers/cab32/CabLocator.h"
#include "archivers/common/ArchiveFile.h"

struct mscab_decompressor;
struct mscabd_cabinet;
struct mscabd_file;

namespace rkarc {

class CabMszip;
class CabSet;
class CabSystem;

// A result code from ResultCodes.h (0 for none) and a reason for the report.
struct CabError {
  int32_t code = 0;
  std::string reason;
  explicit operator bool() const { return code != 0; }
};

class CabReader {
 public:
  using Output = std::function<bool(const void* data, size_t size)>;

  CabReader();
  ~CabReader();
  CabReader(const CabReader&) = delete;
  CabReader& operator=(const CabReader&) = delete;

  // Opens the archive. allowCutShort: accept a .CAB file that ends before its
  // cabinet does (extraction reports the lost members); probes pass false.
  // wholeSet: read on through the next cabinets of a set (CabSet.h).
  CabError open(const std::string& path, bool allowCutShort, bool wholeSet = false);

  // The first cabinet.
  const CabLocation& location() const { return m_location; }
  // The folders and members of the cabinets read: the first one's, or a set's.
  const CabHeader& header() const;
  const std::vector<CabFileEntry>& files() const { return header().files; }
  // Every cabinet file read, the first one's path first.
  std::vector<std::string> paths() const;
  // Why a set could not be read to its end; no error for a whole set.
  CabError setBroken() const;
  // The bytes of every cabinet file read.
  uint64_t fileSize() const;

  // Why a member cannot be decoded at all (it continues in another cabinet
  // of a set, or uses an unknown method); no error when it can be tried.
  CabError check(size_t index) const;

  // Decodes member `index` and hands its data to `output` in order. No error
  // only when the member was decoded to its end. An output that returns false
  // ends the member with kErrWrite.
  CabError extract(size_t index, const Output& output);

  // Told the archive file position after each read (for progress).
  void setObserver(std::function<void(uint64_t)> observer);

 private:
  CabError openCabinet();
  CabError appendCabinets();
  void closeCabinet();
  CabError readFailure(int mspackError) const;
  CabError extractMszip(size_t index, const Output& output);

  std::string m_path;
  ArchiveFile m_file;
  CabLocation m_location;
  std::unique_ptr<CabSet> m_set;  // with the next cabinets, when they were asked for
  bool m_firstFolderContinued = false;
  std::unique_ptr<CabSystem> m_system;
  mscab_decompressor* m_decompressor = nullptr;
  mscabd_cabinet* m_cabinet = nullptr;
  std::vector<mscabd_file*> m_files;  // libmspack's entries, in the order of files()
  std::vector<mscabd_file> m_setFiles;  // a set's entries, ours: see appendCabinets()
  std::function<void(uint64_t)> m_observer;
  std::unique_ptr<CabMszip> m_mszip;  // the MSZIP folder being decoded, kept for the next member
  size_t m_mszipFolder = 0;
};

}  // namespace rkarc
