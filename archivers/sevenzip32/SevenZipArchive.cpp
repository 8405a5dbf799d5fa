// Reading a 7z archive's header; see SevenZipArchive.h.
#include "archivers/sevenzip32/SevenZipArchive.h"

#include <zlib.h>

#include "archivers/common/ResultCodes.h"

namespace rkarc::sevenzip {
namespace {

constexpr uint64_t kMaxHeader = 256ull * 1024 * 1024;
constexpr int kEncodedHeader = 0x17;
const char* const kDamagedHeader = "7z書庫のヘッダーが壊れています";
const char* const kHeaderEncrypted = "書庫のヘッダーが暗号化されています（パスワードが必要です）";

ArchiveHeader Failed(int32_t code, std::string reason) {
  ArchiveHeader a;
  a.outcome = ArchiveHeader::Failed;
  a.failure = {code, std::move(reason)};
  return a;
}

uint32_t Crc(const std::vector<uint8_t>& bytes) {
  return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// A folder's plan as the outcome for the whole header: encrypted and
// unknown methods are known before anything is read.
std::optional<ArchiveHeader> Refusal(const FolderPlan& plan, bool ofHeader) {
  switch (plan.kind) {
    case FolderPlan::Encrypted:
      if (!ofHeader) return std::nullopt;
      return Failed(kErrEncrypted, kHeaderEncrypted);
    case FolderPlan::Unsupported:
      if (!ofHeader) return std::nullopt;
      return Failed(kErrUnsupported, UnsupportedReason(plan.method));
    case FolderPlan::Libarchive: {
      ArchiveHeader a;
      a.outcome = ArchiveHeader::Libarchive;
      return a;
    }
    case FolderPlan::Ours:
      break;
  }
  return std::nullopt;
}

// The header that an encoded header packs, decoded (with `password` where
// it is encrypted) and checked.
std::optional<ArchiveHeader> Decode(const InputFile& file, const SevenZipStart& start, const Folder& folder,
                                    const std::string* password, std::vector<uint8_t>& bytes) {
  FolderReader reader(file, PackBase(start), folder, nullptr, password);
  // Grown as the data comes, so that a size the header only claims costs nothing.
  bytes.clear();
  std::vector<uint8_t> block(64 * 1024);
  for (int64_t got; (got = reader.read(block.data(), block.size())) != 0;) {
    if (got < 0) return Failed(reader.failure().code ? reader.failure().code : kErrDamaged, kDamagedHeader);
    bytes.insert(bytes.end(), block.begin(), block.begin() + got);
  }
  if (folder.crc && Crc(bytes) != *folder.crc) return Failed(kErrDamaged, kDamagedHeader);
  return std::nullopt;
}

// An encoded header, with the host's passwords tried in turn where it is
// encrypted: the first whose header passes the CRC opens the archive.
std::optional<ArchiveHeader> Unpack(const InputFile& file, const SevenZipStart& start, std::vector<uint8_t>& bytes,
                                    const std::vector<std::string>* passwords, ArchiveHeader& result) {
  const Streams streams = ParseEncodedHeader(bytes);
  if (streams.folders.empty()) return Failed(kErrDamaged, kDamagedHeader);
  const Folder& folder = streams.folders[0];
  const FolderPlan plan = PlanFolder(folder);
  const bool encrypted = plan.kind == FolderPlan::Encrypted && passwords;
  if (auto refusal = encrypted ? std::nullopt : Refusal(plan, true)) return refusal;
  if (folder.size() > kMaxHeader) return Failed(kErrDamaged, kDamagedHeader);
  if (!encrypted) return Decode(file, start, folder, nullptr, bytes);
  result.passwordNeeded = true;
  for (size_t i = 0; i < passwords->size(); ++i) {
    if (!Decode(file, start, folder, &(*passwords)[i], bytes)) {
      result.password = i;
      return std::nullopt;
    }
  }
  ArchiveHeader failed = Failed(passwords->empty() ? kErrEncrypted : kErrWrongPassword,
                                passwords->empty() ? kHeaderEncrypted : FailureText(kErrWrongPassword));
  failed.passwordNeeded = true;
  return failed;
}

}  // namespace

ArchiveHeader ReadArchiveHeader(const InputFile& file, const SevenZipStart& start,
                                const std::vector<std::string>* passwords) {
  ArchiveHeader a;
  if (start.headerSize == 0) return {};  // an archive of nothing
  if (start.headerSize > kMaxHeader) return Failed(kErrDamaged, kDamagedHeader);
  std::vector<uint8_t> bytes(start.headerSize);
  if (!file.readExact(start.end - start.headerSize, bytes.data(), bytes.size()))
    return Failed(kErrArchiveOpen, "書庫を読めません");
  if (Crc(bytes) != start.headerCrc) return Failed(kErrDamaged, kDamagedHeader);
  try {
    // An encoded header may pack another; real archives nest one deep.
    for (int depth = 0; !bytes.empty() && bytes[0] == kEncodedHeader; ++depth) {
      if (depth == 4) return Failed(kErrDamaged, kDamagedHeader);
      if (auto outcome = Unpack(file, start, bytes, passwords, a)) return *outcome;
    }
    a.header = ParseHeader(bytes);
    for (const Folder& folder : a.header.streams.folders) {
      a.plans.push_back(PlanFolder(folder));
      if (auto outcome = Refusal(a.plans.back(), false)) return *outcome;
    }
    return a;
  } catch (const HeaderError& e) {
    return Failed(kErrDamaged, std::string(kDamagedHeader) + "（" + e.what + "）");
  }
}

}  // namespace rkarc::sevenzip
