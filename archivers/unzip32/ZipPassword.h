// Which of the host's passwords opens a ZIP archive, found before anything is
// written: the first encrypted member the command wants is read to its end
// with each password in turn, so libarchive checks the format's own verifier
// (the check byte of traditional encryption, the password verifier of AES)
// and then the data itself (CRC-32, the AES authentication code). A wrong
// password that passes the one-byte check of traditional encryption is thus
// never taken for the right one. A password beyond ASCII is also tried in its
// CP932 form, as Japanese Windows encrypts with it.
#pragma once

#include <archive.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Report.h"
#include "archivers/unzip32/ZipDirectory.h"

namespace rkarc::zip {

struct PasswordChoice {
  bool needed = false;  // the command wants an encrypted member
  int index = -1;       // the password that opens it, or -1
  int32_t failure = 0;  // when needed and none opens it: the result code (already reported)
};

// Finds the password of the archive among `passwords` and reports the
// outcome to the host (Passwords.h).
PasswordChoice ChoosePassword(const ZipDirectory& directory, const InputFile& file, ExtractRequest& request,
                              const std::vector<std::string>& passwords, Report& report);

// Hands libarchive the passwords for the extraction: the one that opened the
// archive first, then the others for members that have passwords of their
// own (each also in its CP932 form, as above).
void AddPasswords(archive* a, const std::vector<std::string>& passwords, int chosen);

}  // namespace rkarc::zip
