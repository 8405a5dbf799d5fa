// Finding the password of a 7z archive; see SevenZipPassword.h.
#include "archivers/sevenzip32/SevenZipPassword.h"

#include <zlib.h>

#include <algorithm>
#include <optional>

#include "archivers/common/Passwords.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc::sevenzip {
namespace {

// The first entry of the first encrypted folder that holds a wanted member.
std::optional<size_t> FirstEncrypted(const ArchiveHeader& archive, ExtractRequest& request) {
  const auto& entries = archive.header.entries;
  std::optional<size_t> folder;
  for (size_t i = 0; i < entries.size() && !folder; ++i) {
    const Entry& e = entries[i];
    if (e.hasStream && !e.anti && archive.plans[e.folder].kind == FolderPlan::Encrypted &&
        request.members.wants(e.name, NameCharset::Utf8))
      folder = e.folder;
  }
  if (!folder) return std::nullopt;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].hasStream && entries[i].folder == *folder) return i;
  return std::nullopt;
}

// Whether `password` decodes the folder of `first` to a matching CRC; an
// unsupported method or want of memory is a failure of its own.
Failure Try(const InputFile& file, uint64_t base, const ArchiveHeader& archive, const Entry& first,
            const std::string& password) {
  const Folder& folder = archive.header.streams.folders[first.folder];
  const bool wholeFolder = !first.crc && folder.crc;
  const std::optional<uint32_t> want = wholeFolder ? folder.crc : first.crc;
  FolderReader reader(file, base, folder, nullptr, &password);
  std::vector<uint8_t> block(256 * 1024);
  uint32_t crc = 0;
  for (uint64_t left = wholeFolder ? folder.size() : first.size; left > 0;) {
    const int64_t got = reader.read(block.data(), static_cast<size_t>(std::min<uint64_t>(left, block.size())));
    if (got <= 0) {
      const int32_t code = got < 0 ? reader.failure().code : kErrDamaged;
      if (code == kErrUnsupported || code == kErrMemory || code == kErrArchiveOpen) return reader.failure();
      return {kErrWrongPassword, FailureText(kErrWrongPassword)};
    }
    crc = static_cast<uint32_t>(crc32(crc, block.data(), static_cast<uInt>(got)));
    left -= static_cast<uint64_t>(got);
  }
  if (want && crc != *want) return {kErrWrongPassword, FailureText(kErrWrongPassword)};
  return {};
}

}  // namespace

int32_t ChoosePassword(const InputFile& file, uint64_t base, ArchiveHeader& archive, ExtractRequest& request,
                       const std::vector<std::string>& passwords, Report& report) {
  // The header's password is the members' too, as 7-Zip writes them.
  if (!archive.password) {
    const std::optional<size_t> first = FirstEncrypted(archive, request);
    if (!first) return 0;
    archive.passwordNeeded = true;
    for (size_t i = 0; i < passwords.size() && !archive.password; ++i) {
      const Failure failure = Try(file, base, archive, archive.header.entries[*first], passwords[i]);
      if (failure.code == 0) {
        archive.password = i;
      } else if (failure.code != kErrWrongPassword) {
        report.fail(failure.reason);
        return failure.code;
      }
    }
  }
  report.lead(kPasswordLead, archive.password ? std::to_string(*archive.password) : std::string(kPasswordNone));
  if (archive.password) return 0;
  const int32_t code = passwords.empty() ? kErrEncrypted : kErrWrongPassword;
  report.fail(FailureText(code));
  return code;
}

}  // namespace rkarc::sevenzip
