// Member selection by the names of a command; see MemberMatcher.h.
#include "archivers/common/MemberMatcher.h"

#include <algorithm>
#include <optional>

#include "archivers/common/AsciiCase.h"

namespace rkarc {
namespace {

// The length of the UTF-8 sequence at s[i] (1 for a stray byte).
size_t CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return std::min(n, s.size() - i);
}

uint32_t CodePoint(std::string_view s, size_t i, size_t n, bool ignoreCase) {
  auto cp = static_cast<uint32_t>(static_cast<unsigned char>(s[i]));
  if (n > 1) {
    cp &= 0x7Fu >> n;
    for (size_t k = 1; k < n; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
  }
  return ignoreCase && cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp;
}

bool SameChar(std::string_view a, std::string_view b, bool ignoreCase) {
  return ignoreCase ? EqualIgnoringAsciiCase(a, b) : a == b;
}

// Whether the character `c` is in the set that opens at pattern[p] ('[');
// `end` is then set past its ']'. Nothing when the set is not closed: the
// '[' is then an ordinary character.
std::optional<bool> InSet(std::string_view pattern, size_t p, uint32_t c, bool ignoreCase, size_t& end) {
  size_t i = p + 1;
  const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negated) ++i;
  bool found = false;
  for (bool first = true; i < pattern.size() && (first || pattern[i] != ']'); first = false) {
    const size_t n = CharLength(pattern, i);
    const uint32_t low = CodePoint(pattern, i, n, ignoreCase);
    uint32_t high = low;
    i += n;
    if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
      const size_t m = CharLength(pattern, i + 1);
      high = CodePoint(pattern, i + 1, m, ignoreCase);
      i += 1 + m;
    }
    found = found || (low <= c && c <= high);
  }
  if (i >= pattern.size()) return std::nullopt;
  end = i + 1;
  return found != negated;
}

// Matches one pattern item other than '*' at pattern[p] against one
// character at text[t]; on success both move past what they matched.
bool MatchOne(std::string_view pattern, size_t& p, std::string_view text, size_t& t, bool ignoreCase) {
  const size_t n = CharLength(text, t);
  size_t next = p + 1;
  bool ok = pattern[p] == '?';
  if (!ok && pattern[p] == '[') {
    const auto in = InSet(pattern, p, CodePoint(text, t, n, ignoreCase), ignoreCase, next);
    ok = in.value_or(text[t] == '[');
  } else if (!ok) {
    next = p + CharLength(pattern, p);
    ok = SameChar(pattern.substr(p, next - p), text.substr(t, n), ignoreCase);
  }
  if (!ok) return false;
  p = next;
  t += n;
  return true;
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text, bool ignoreCase) {
  size_t p = 0, t = 0;
  size_t starPattern = std::string_view::npos, starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = ++p;
      starText = t;
    } else if (p >= pattern.size() || !MatchOne(pattern, p, text, t, ignoreCase)) {
      // Let the last '*' take one more character and try again from there.
      if (starPattern == std::string_view::npos) return false;
      starText += CharLength(text, starText);
      p = starPattern;
      t = starText;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

MemberMatcher::MemberMatcher(const std::vector<std::string>& names, bool ignoreCase) : m_ignoreCase(ignoreCase) {
  for (const std::string& name : names)
    m_wanted.push_back({SafeWriter::SafeRelativePath(name, NameCharset::Utf8), name, false});
}

bool MemberMatcher::wants(std::string_view name, NameCharset charset) {
  return all() || matches(SafeWriter::SafeRelativePath(name, charset));
}

bool MemberMatcher::matches(std::string_view safePath) {
  if (all()) return true;
  bool any = false;
  for (Wanted& wanted : m_wanted) {
    if (selects(wanted, safePath)) {
      wanted.matched = true;
      any = true;
    }
  }
  return any;
}

bool MemberMatcher::selects(const Wanted& wanted, std::string_view path) const {
  const std::string& pattern = wanted.pattern;
  if (pattern.empty() || path.empty()) return false;
  // The plain name first: names such as "[team] data.lzh" are common, and as
  // a pattern the brackets would not match themselves.
  const auto match = [&](std::string_view text) {
    return SameChar(pattern, text, m_ignoreCase) || WildcardMatch(pattern, text, m_ignoreCase);
  };
  if (match(path)) return true;
  if (pattern.find('/') == std::string::npos && match(path.substr(path.rfind('/') + 1))) return true;
  for (size_t at = path.find('/'); at != std::string_view::npos; at = path.find('/', at + 1))
    if (match(path.substr(0, at))) return true;
  return false;
}

std::vector<std::string> MemberMatcher::unmatched() const {
  std::vector<std::string> out;
  for (const Wanted& wanted : m_wanted)
    if (!wanted.matched) out.push_back(wanted.given);
  return out;
}

void MemberMatcher::reportUnmatched(SafeWriter& writer) const {
  if (writer.stopped()) return;
  for (const std::string& name : unmatched())
    writer.failArchive(kErrNoMember, SafeWriter::PrintableName(name, NameCharset::Utf8) + ": 書庫にありません");
}

}  // namespace rkarc
