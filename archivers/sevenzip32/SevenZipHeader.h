// The 7z header as 7zFormat.txt of the 7-Zip sources describes it: pack
// streams, folders (coders, bind pairs, unpack sizes, CRCs), the streams each
// folder holds, and the files with their names (UTF-16LE), attributes (the
// high 16 bits a Unix mode when bit 0x8000 is set) and times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rkarc::sevenzip {

struct Coder {
  std::vector<uint8_t> method;  // the method ID bytes
  std::vector<uint8_t> properties;
  uint32_t inStreams = 1, outStreams = 1;  // in: the packed side
};

struct Folder {
  std::vector<Coder> coders;
  std::vector<std::pair<uint64_t, uint64_t>> bindPairs;  // in-stream fed by out-stream
  std::vector<uint64_t> packedStreams;                   // the in-streams read from pack streams
  std::vector<uint64_t> unpackSizes;                     // one per out-stream
  std::optional<uint32_t> crc;
  size_t firstPack = 0;             // index of its first pack stream
  uint64_t packOffset = 0;          // where that pack stream starts, from the end of the start header
  std::vector<uint64_t> packSizes;  // of its pack streams, which follow one another
  size_t mainOut = 0;               // the out-stream that no bind pair takes: the folder's data
  uint64_t size() const { return unpackSizes.empty() ? 0 : unpackSizes[mainOut]; }
};

struct Streams {
  uint64_t packPos = 0;
  std::vector<uint64_t> packSizes;
  std::vector<Folder> folders;
  std::vector<uint64_t> substreams;  // per folder: how many files' data it holds
  std::vector<uint64_t> sizes;       // per substream, folder by folder
  std::vector<std::optional<uint32_t>> crcs;
};

struct Entry {
  std::string name;  // UTF-8
  bool hasStream = true;
  bool emptyFile = false;  // an empty stream that is a file, not a folder
  bool anti = false;
  std::optional<uint32_t> attributes;
  std::optional<int64_t> mtime;  // seconds since 1970
  uint64_t size = 0;
  std::optional<uint32_t> crc;
  size_t folder = 0;  // for an entry with a stream
};

struct Header {
  Streams streams;
  std::vector<Entry> entries;
};

// Reads a plain header (0x01). Throws HeaderError when it is malformed.
Header ParseHeader(const std::vector<uint8_t>& bytes);
// Reads the streams of an encoded header (0x17): the folder whose data is the real header.
Streams ParseEncodedHeader(const std::vector<uint8_t>& bytes);

struct HeaderError {
  const char* what;
};

}  // namespace rkarc::sevenzip
