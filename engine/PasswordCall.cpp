// The password loop around a command; see PasswordCall.h.
#include "engine/PasswordCall.h"

#include <cstring>
#include <optional>

#include "archivers/common/Passwords.h"
#include "archivers/common/ResultCodes.h"
#include "engine/ArchiverLibrary.h"
#include "engine/ExtractionListener.h"
#include "engine/Passwords.h"
#include "text/MessageCatalogue.h"

namespace {

struct PasswordLead {
  bool present = false;
  std::optional<size_t> index;  // the password that opened the archive
};

// The module's "password<TAB>N|none" line, among the lines that head its report.
PasswordLead ReadLead(const char* report) {
  PasswordLead lead;
  const std::string prefix = std::string(rkarc::kPasswordLead) + '\t';
  for (const char* line = report; *line;) {
    const char* end = std::strchr(line, '\n');
    const std::string_view text(line, end ? static_cast<size_t>(end - line) : std::strlen(line));
    if (text.substr(0, prefix.size()) == prefix) {
      lead.present = true;
      const std::string_view value = text.substr(prefix.size());
      if (value != rkarc::kPasswordNone) lead.index = std::stoul(std::string(value));
      return lead;
    }
    if (!end) break;
    line = end + 1;
  }
  return lead;
}

int32_t RunOnce(ArchiverLibrary& library, const QByteArray& command, char* report, uint32_t reportSize,
                PasswordBook& book, PasswordLead& lead) {
  std::vector<const char*> list = book.list();
  list.push_back(nullptr);  // never a null list, which would mean none at all
  std::memset(report, 0, reportSize);
  library.setPasswords(list.data(), static_cast<int32_t>(list.size() - 1));
  const int32_t rc = library.command(command, report, reportSize);
  library.setPasswords(nullptr, 0);
  lead = ReadLead(report);
  if (lead.index) book.opened(*lead.index);
  return rc;
}

}  // namespace

int32_t CommandWithPasswords(ArchiverLibrary& library, const QByteArray& command, char* report, uint32_t reportSize,
                             ExtractionListener& listener, const QString& archive) {
  PasswordBook* book = listener.passwords();
  if (!book || !library.takesPasswords()) return library.command(command, report, reportSize);
  for (;;) {
    PasswordLead lead;
    const int32_t rc = RunOnce(library, command, report, reportSize, *book, lead);
    // Asked only when the module wrote nothing for want of a password.
    if (!lead.present || lead.index) return rc;
    if (book->loadRemembered()) continue;
    PasswordAnswer answer = listener.askPassword(archive, rc == rkarc::kErrWrongPassword);
    if (answer.action == PasswordAnswer::Action::CancelRun) return rkarc::kErrCancelled;
    if (answer.action != PasswordAnswer::Action::Try) return rc;
    if (book->addGiven(std::move(answer.password), answer.remember))
      listener.logLine(MessageCatalogue::Product(ProductMsg::LogKeyringUnavailable));
    rkarc::WipeText(answer.password);
  }
}
