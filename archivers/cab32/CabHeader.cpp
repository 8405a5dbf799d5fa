// Cabinet header parsing; see CabHeader.h.
#include "archivers/cab32/CabHeader.h"

#include <algorithm>
#include <cstring>

#include "archivers/common/Bytes.h"

namespace rkarc {
namespace {

constexpr size_t kFixedSize = 36;       // CFHEADER without the optional parts
constexpr size_t kReserveFields = 4;    // cbCFHeader, cbCFFolder, cbCFData
constexpr size_t kFolderSize = 8;       // CFFOLDER without its reserve
constexpr size_t kFileFixedSize = 16;   // CFFILE without its name
constexpr size_t kMaxString = 256;      // names and disk labels end within 256 bytes
constexpr uint64_t kMaxFilesOffset =    // the largest header that can precede CFFILE
    kFixedSize + kReserveFields + 0xFFFF + 4 * kMaxString + 0xFFFFull * (kFolderSize + 0xFF);

enum class StringRead { Ok, Short, Bad };

// Reads NUL-terminated, non-empty strings of at most 255 bytes (what
// libmspack accepts too, so both readers agree on every cabinet).
StringRead ReadString(const uint8_t* data, size_t size, size_t& pos, std::string* out) {
  const size_t limit = std::min(size, pos + kMaxString);
  const void* nul = pos < limit ? std::memchr(data + pos, 0, limit - pos) : nullptr;
  if (nul == nullptr) return limit < pos + kMaxString ? StringRead::Short : StringRead::Bad;
  const size_t length = static_cast<const uint8_t*>(nul) - (data + pos);
  if (length == 0) return StringRead::Bad;
  if (out) out->assign(reinterpret_cast<const char*>(data + pos), length);
  pos += length + 1;
  return StringRead::Ok;
}

bool FixedFieldsValid(const uint8_t* d) {
  return std::memcmp(d, "MSCF", 4) == 0 && Le32(d + 4) == 0 && Le32(d + 12) == 0 &&
         Le32(d + 20) == 0 && d[24] == 3 && d[25] == 1 && Le16(d + 26) != 0 && Le16(d + 28) != 0 &&
         (Le16(d + 30) & ~0x0007) == 0;
}

}  // namespace

size_t CabHeader::folderOf(const CabFileEntry& file) const {
  if (file.continuedFromPrev()) return 0;
  if (file.continuedToNext()) return folders.size() - 1;
  return file.folderIndex;
}

CabParse ParseCabHeader(const uint8_t* data, size_t size, uint64_t available, bool allowShort,
                        CabHeader& out, size_t* needed) {
  out = CabHeader{};
  if (available < kFixedSize + kReserveFields) return CabParse::Invalid;
  if (size < kFixedSize + kReserveFields) {
    *needed = kFixedSize + kReserveFields;
    return CabParse::NeedMore;
  }
  if (!FixedFieldsValid(data)) return CabParse::Invalid;

  out.cabinetSize = Le32(data + 8);
  const uint32_t filesOffset = Le32(data + 16);
  const uint16_t folderCount = Le16(data + 26);
  const uint16_t fileCount = Le16(data + 28);
  out.flags = Le16(data + 30);
  out.setId = Le16(data + 32);
  out.setIndex = Le16(data + 34);
  if (filesOffset >= out.cabinetSize || filesOffset > kMaxFilesOffset) return CabParse::Invalid;
  if (!allowShort && out.cabinetSize > available) return CabParse::Invalid;

  // Everything up to the last file name lies within `bound`. Running out of
  // bytes below it asks for twice as many, so a decoy costs little to read
  // and a real header at most twice its size.
  const uint64_t bound = std::min<uint64_t>(
      filesOffset + static_cast<uint64_t>(fileCount) * (kFileFixedSize + kMaxString), available);
  const auto ranOut = [&] {
    if (size >= bound) return CabParse::Invalid;
    *needed = static_cast<size_t>(std::min<uint64_t>(bound, std::max<uint64_t>(2 * size, 4096)));
    return CabParse::NeedMore;
  };

  size_t pos = kFixedSize;
  uint8_t folderReserve = 0;
  if (out.flags & kCabFlagReservePresent) {
    if (pos + kReserveFields > size) return ranOut();
    const uint16_t headerReserve = Le16(data + pos);
    folderReserve = data[pos + 2];
    out.dataReserve = data[pos + 3];
    pos += kReserveFields + headerReserve;
  }
  const auto string = [&](std::string* target) {
    const StringRead r = ReadString(data, size, pos, target);
    return r == StringRead::Ok ? CabParse::Ok : r == StringRead::Short ? ranOut() : CabParse::Invalid;
  };
  CabParse step = CabParse::Ok;
  if (out.flags & kCabFlagPrevCabinet) {
    if ((step = string(&out.prevCabinet)) != CabParse::Ok || (step = string(nullptr)) != CabParse::Ok)
      return step;
  }
  if (out.flags & kCabFlagNextCabinet) {
    if ((step = string(&out.nextCabinet)) != CabParse::Ok || (step = string(nullptr)) != CabParse::Ok)
      return step;
  }

  for (uint16_t i = 0; i < folderCount; ++i) {
    if (pos + kFolderSize > size) return ranOut();
    CabFolderEntry folder;
    folder.dataOffset = Le32(data + pos);
    folder.blockCount = Le16(data + pos + 4);
    folder.compressionType = Le16(data + pos + 6);
    out.folders.push_back(folder);
    pos += kFolderSize + folderReserve;
  }
  // libmspack reads the file records right after the folders and ignores
  // coffFiles; a cabinet where the two differ would be read differently by
  // the two parsers, so it is refused.
  if (pos != filesOffset) return CabParse::Invalid;

  for (uint16_t i = 0; i < fileCount; ++i) {
    if (pos + kFileFixedSize > size) return ranOut();
    CabFileEntry file;
    file.size = Le32(data + pos);
    file.folderOffset = Le32(data + pos + 4);
    file.folderIndex = Le16(data + pos + 8);
    file.date = Le16(data + pos + 10);
    file.time = Le16(data + pos + 12);
    file.attributes = Le16(data + pos + 14);
    pos += kFileFixedSize;
    if ((step = string(&file.name)) != CabParse::Ok) return step;
    if (file.folderIndex >= folderCount && file.folderIndex < kCabContinuedFromPrev)
      return CabParse::Invalid;
    out.files.push_back(std::move(file));
  }

  // Data blocks follow the header and lie inside the cabinet.
  for (const CabFolderEntry& folder : out.folders) {
    if (folder.blockCount == 0) continue;
    if (folder.dataOffset < pos || folder.dataOffset >= out.cabinetSize) return CabParse::Invalid;
  }
  return CabParse::Ok;
}

}  // namespace rkarc
