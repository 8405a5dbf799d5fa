// Writes small cabinets byte by byte for the CAB tests: layouts that no tool
// on Debian makes (sets of cabinets, damaged blocks, odd headers, MSZIP
// blocks that copy from the block before). Block checksums are computed as
// cabinets define them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct CabBuildFile {
  std::string name;               // bytes as stored ("\\" separates folders)
  std::string data;               // appended to the folder's data
  uint16_t attributes = 0x20;
  uint16_t folderIndex = 0;       // 0, or 0xFFFD/0xFFFE/0xFFFF for a split file
  int64_t declaredSize = -1;      // the size written in the header; -1: data.size()
};

struct CabBuildOptions {
  size_t blockSize = 32768;       // uncompressed bytes per data block
  bool checksums = true;
  // MSZIP instead of stored: each block deflated with the one before it as
  // the dictionary, as makecab does (gcab deflates every block on its own).
  bool mszip = false;
  std::string prevCabinet;        // sets the "previous cabinet" flag when not empty
  std::string nextCabinet;
  uint16_t setId = 0x1234;
  uint16_t setIndex = 0;
};

class CabBuilder {
 public:
  explicit CabBuilder(CabBuildOptions options = {}) : m_options(std::move(options)) {}
  void add(CabBuildFile file) { m_files.push_back(std::move(file)); }
  // The whole cabinet: CFHEADER, one CFFOLDER, the CFFILEs, the CFDATA blocks.
  std::string build() const;
  // The same folder spread over a set of cabinets of these file names, as a
  // maker cuts it for disks of a size (the members' folder indexes are set).
  std::vector<std::string> buildSet(const std::vector<std::string>& names) const;

  // Offset of the first data byte of block `index` in what build() returns
  // (stored cabinets).
  size_t blockDataOffset(size_t index) const;

 private:
  struct Entry {
    const CabBuildFile* file;
    uint32_t offset;
    uint16_t folderIndex;
  };
  struct Block {
    std::string packed;
    uint16_t size;  // 0: the block goes on in the next cabinet
  };
  size_t headerSize() const;
  std::vector<Block> blocks() const;
  static std::string write(const CabBuildOptions& options, const std::vector<Entry>& entries,
                           const std::vector<Block>& blocks);
  CabBuildOptions m_options;
  std::vector<CabBuildFile> m_files;
};

}  // namespace testing_support
