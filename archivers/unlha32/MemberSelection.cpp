// Member name matching; see MemberSelection.h.
#include "archivers/unlha32/MemberSelection.h"

#include <fnmatch.h>

#include "archivers/common/AsciiCase.h"

namespace rkarc {
namespace {

std::string Normalise(std::string name) {
  for (char& c : name)
    if (c == '\\') c = '/';
  while (name.rfind("./", 0) == 0) name.erase(0, 2);
  while (!name.empty() && name.front() == '/') name.erase(0, 1);
  while (!name.empty() && name.back() == '/') name.pop_back();
  return name;
}

// The plain name first: archive names such as "[team] data.lzh" are common,
// and as a wildcard pattern the brackets would not match themselves.
bool Match(const std::string& pattern, const std::string& text) {
  return EqualIgnoringAsciiCase(pattern, text) || fnmatch(pattern.c_str(), text.c_str(), FNM_CASEFOLD) == 0;
}

}  // namespace

MemberSelection::MemberSelection(std::vector<std::string> names) {
  for (auto& name : names) {
    std::string n = Normalise(std::move(name));
    if (!n.empty()) m_names.push_back(std::move(n));
  }
  m_matched.assign(m_names.size(), false);
}

bool MemberSelection::matches(const std::string& rawPath) {
  if (all()) return true;
  const std::string path = Normalise(rawPath);
  if (path.empty()) return false;
  const size_t slash = path.rfind('/');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  bool any = false;
  for (size_t i = 0; i < m_names.size(); ++i) {
    const std::string& name = m_names[i];
    bool hit = Match(name, path);
    if (!hit && name.find('/') == std::string::npos) hit = Match(name, last);
    // A folder name also selects what lies below it.
    for (size_t at = path.find('/'); !hit && at != std::string::npos; at = path.find('/', at + 1))
      hit = Match(name, path.substr(0, at));
    if (hit) {
      m_matched[i] = true;
      any = true;
    }
  }
  return any;
}

std::vector<std::string> MemberSelection::unmatched() const {
  std::vector<std::string> out;
  for (size_t i = 0; i < m_names.size(); ++i)
    if (!m_matched[i]) out.push_back(m_names[i]);
  return out;
}

}  // namespace rkarc
