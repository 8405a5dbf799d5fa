// Classification of libarchive errors; see ArchiveError.h.
#include "archivers/libarchive/ArchiveError.h"

#include <cerrno>
#include <string_view>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc {
namespace {

bool Contains(const std::string& text, std::string_view word) { return text.find(word) != std::string::npos; }

}  // namespace

void ArchiveError::SetCallbackError(archive* a, int32_t code, const std::string& reason) {
  archive_set_error(a, code, "%s", reason.c_str());
}

ArchiveError ArchiveError::From(archive* a) {
  const char* message = archive_error_string(a);
  if (IsFailure(archive_errno(a)) && archive_errno(a) > 0 && message) return {archive_errno(a), message};
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  const std::string lower = AsciiLower(text);
  int32_t code = kErrDamaged;
  if (archive_errno(a) == ENOMEM) {
    code = kErrMemory;
  } else if (Contains(lower, "crc") || Contains(lower, "checksum")) {
    code = kErrChecksum;
  } else if (Contains(lower, "incorrect passphrase")) {
    code = kErrWrongPassword;
  } else if (Contains(lower, "encrypt") || Contains(lower, "passphrase") || Contains(lower, "password")) {
    code = kErrEncrypted;
  } else if (Contains(lower, "unsupported") || Contains(lower, "not supported") || Contains(lower, "unavailable")) {
    code = kErrUnsupported;
  } else if (Contains(lower, "read error")) {
    code = kErrArchiveOpen;
  } else if (Contains(lower, "unrecognized archive format")) {
    code = kErrNotArchive;
  }
  std::string reason = FailureText(code);
  if (!text.empty()) reason += "（" + SafeWriter::PrintableName(text, NameCharset::Utf8) + "）";
  return {code, reason};
}

}  // namespace rkarc
