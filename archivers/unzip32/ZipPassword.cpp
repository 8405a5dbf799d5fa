// Finding the password of a ZIP archive; see ZipPassword.h.
#include "archivers/unzip32/ZipPassword.h"

#include <archive_entry.h>

#include <algorithm>
#include <optional>

#include "archivers/common/Passwords.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/libarchive/ArchiveHandle.h"
#include "archivers/libarchive/ArchiveWindow.h"
#include "archivers/libarchive/ScopedUtf8Locale.h"
#include "platform/Cp932.h"

namespace rkarc::zip {
namespace {

enum class Trial { Opens, Refused, DataBad };

// Reads entry number `entry` to its end with `password` alone.
Trial TryPassword(const ZipDirectory& directory, const InputFile& file, size_t entry, const std::string& password) {
  ArchiveWindow window(file, directory.base(), directory.windowEnd(), nullptr);
  window.setTail(directory.cleanEnd());
  ArchiveHandle a;
  if (!a.get()) return Trial::DataBad;
  archive_read_support_format_zip_seekable(a);
  archive_read_add_passphrase(a, password.c_str());
  if (window.open(a, true) != ARCHIVE_OK) return Trial::DataBad;
  archive_entry* header = nullptr;
  for (size_t i = 0; i <= entry; ++i) {
    const int r = archive_read_next_header(a, &header);
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return Trial::DataBad;
  }
  for (bool first = true;; first = false) {
    const void* block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    const int r = archive_read_data_block(a, &block, &size, &offset);
    if (r == ARCHIVE_EOF) return Trial::Opens;
    if (r == ARCHIVE_OK) continue;
    // The verifier is checked before the first block; later errors are the data's.
    const char* error = archive_error_string(a);
    const bool refused = first && error && std::string_view(error).find("passphrase") != std::string_view::npos;
    return refused ? Trial::Refused : Trial::DataBad;
  }
}

// The bytes to try for each password: its UTF-8, and for one beyond ASCII also
// its CP932 (Shift_JIS) form, which traditional encryption on Japanese
// Windows takes. Wiped when they go.
struct Candidate {
  std::string bytes;
  size_t password;  // index in the host's list
  Candidate(std::string b, size_t p) : bytes(std::move(b)), password(p) {}
  Candidate(Candidate&&) = default;
  ~Candidate() { WipeText(bytes); }
};

std::vector<Candidate> Candidates(const std::vector<std::string>& passwords) {
  std::vector<Candidate> out;
  out.reserve(passwords.size() * 2);
  for (size_t i = 0; i < passwords.size(); ++i) {
    out.emplace_back(passwords[i], i);
    const bool ascii = std::all_of(passwords[i].begin(), passwords[i].end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) continue;
    std::string shiftJis = cp932::FromUtf8(passwords[i]);
    if (std::count(shiftJis.begin(), shiftJis.end(), '?') == std::count(passwords[i].begin(), passwords[i].end(), '?'))
      out.emplace_back(std::move(shiftJis), i);
    WipeText(shiftJis);
  }
  return out;
}

// The first encrypted member with data that the command wants.
std::optional<size_t> FirstEncrypted(const ZipDirectory& directory, ExtractRequest& request) {
  const auto& records = directory.records();
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i].encrypted && request.members.wants(records[i].name, records[i].charset)) return i;
  return std::nullopt;
}

}  // namespace

PasswordChoice ChoosePassword(const ZipDirectory& directory, const InputFile& file, ExtractRequest& request,
                              const std::vector<std::string>& passwords, Report& report) {
  PasswordChoice choice;
  const std::optional<size_t> entry = FirstEncrypted(directory, request);
  if (!entry) return choice;
  choice.needed = true;
  ScopedUtf8Locale locale;
  bool dataBad = false;
  for (const Candidate& candidate : Candidates(passwords)) {
    const Trial trial = TryPassword(directory, file, *entry, candidate.bytes);
    if (trial == Trial::Opens) {
      choice.index = static_cast<int>(candidate.password);
      report.lead(kPasswordLead, std::to_string(candidate.password));
      return choice;
    }
    dataBad = dataBad || trial == Trial::DataBad;
  }
  report.lead(kPasswordLead, kPasswordNone);
  if (passwords.empty()) {
    choice.failure = kErrEncrypted;
    report.fail(FailureText(kErrEncrypted));
  } else {
    choice.failure = kErrWrongPassword;
    // A password that passed the verifier but not the data: a wrong one that
    // slipped through the check byte, or the right one on damaged data.
    report.fail(dataBad ? "パスワードが違うか、データが壊れています" : FailureText(kErrWrongPassword));
  }
  return choice;
}

void AddPasswords(archive* a, const std::vector<std::string>& passwords, int chosen) {
  if (chosen < 0) return;
  const std::vector<Candidate> candidates = Candidates(passwords);
  for (const bool first : {true, false})
    for (const Candidate& candidate : candidates)
      if ((static_cast<int>(candidate.password) == chosen) == first) archive_read_add_passphrase(a, candidate.bytes.c_str());
}

}  // namespace rkarc::zip
