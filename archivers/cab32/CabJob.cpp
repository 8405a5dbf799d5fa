// Command text of CAB32.DLL; see CabJob.h and README.md.
#include "archivers/cab32/CabJob.h"

#include <algorithm>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/Command.h"

namespace rkarc {
namespace {

std::string Normalised(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  while (path.starts_with("./")) path.erase(0, 2);
  return AsciiLower(std::move(path));
}

}  // namespace

void CabJob::applyLetter(char letter, const std::string& token) {
  switch (letter) {
    case 'x': case 'X': writer.flatten = false; break;   // extract with folders
    case 'e': case 'E': writer.flatten = true; break;    // extract without folders
    case 'n': case 'N': writer.overwrite = false; break; // keep existing files
    case 'o': case 'O': writer.overwrite = true; break;  // replace existing files
    default:
      if (std::find(ignored.begin(), ignored.end(), token) == ignored.end()) ignored.push_back(token);
  }
}

bool CabJob::parse(std::string_view command, std::string* reason) {
  Command parsed;
  if (!ParseCommand(command, parsed)) {
    *reason = "コマンドの引用符が閉じていません";
    return false;
  }
  if (parsed.word.size() == 1) applyLetter(parsed.word[0], parsed.word);
  else if (!parsed.word.empty()) ignored.push_back(parsed.word);
  for (const std::string& option : parsed.options) {
    // Letters may be combined ("-xo"); later letters win over earlier ones.
    if (option.size() == 1) ignored.push_back(option);
    for (size_t i = 1; i < option.size(); ++i) applyLetter(option[i], option);
  }
  if (parsed.paths.size() < 2) {
    *reason = "コマンドに圧縮ファイルと解凍先フォルダがありません";
    return false;
  }
  archive = parsed.paths[0];
  outputFolder = parsed.paths[1];
  members.assign(parsed.paths.begin() + 2, parsed.paths.end());
  return true;
}

bool CabJob::wants(const std::string& safePath) {
  if (members.empty()) return true;
  m_found.resize(members.size());
  const std::string path = Normalised(safePath);
  const std::string fileName = path.substr(path.rfind('/') + 1);
  bool wanted = false;
  for (size_t i = 0; i < members.size(); ++i) {
    const std::string member = Normalised(members[i]);
    if (member == path || (writer.flatten && member == fileName)) m_found[i] = wanted = true;
  }
  return wanted;
}

std::vector<std::string> CabJob::notFound() const {
  std::vector<std::string> missing;
  for (size_t i = 0; i < members.size(); ++i)
    if (i >= m_found.size() || !m_found[i]) missing.push_back(members[i]);
  return missing;
}

}  // namespace rkarc
