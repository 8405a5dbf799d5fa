// Name decoding and checking for the safe writer; see SafeName.h.
#include "archivers/common/SafeName.h"

#include "platform/Cp932.h"

namespace rkarc {
namespace {

constexpr std::string_view kDotDot = "上位フォルダ（..）を含む名前です";
constexpr std::string_view kEmpty = "名前が空です";
constexpr std::string_view kTooLong = "名前が長すぎます";
constexpr std::string_view kLinkOutside = "リンク先が解凍先の外を指しています";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool HasDrive(std::string_view text) {
  if (text.size() < 2 || text[1] != ':') return false;
  const char c = text[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<std::string_view> SplitComponents(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || IsSeparator(text[i])) {
      out.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

std::string Join(const std::vector<std::string>& parts, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += '/';
    out += parts[i];
  }
  return out;
}

}  // namespace

std::string SafeName::path() const { return Join(parts, parts.size()); }

std::string SafeName::folder() const { return parts.empty() ? std::string() : Join(parts, parts.size() - 1); }

std::string DecodeMemberName(std::string_view bytes, NameCharset charset) {
  const bool utf8 = charset != NameCharset::Cp932 && cp932::IsValidUtf8(bytes);
  const std::string text = utf8 ? std::string(bytes) : cp932::ToUtf8(bytes);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      out += '_';
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      out += '_';  // U+0080..U+009F, the C1 controls
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

SafeName MakeSafeName(std::string_view bytes, NameCharset charset, bool flatten) {
  SafeName name;
  const std::string text = DecodeMemberName(bytes, charset);
  std::string_view rest(text);
  if (HasDrive(rest)) rest.remove_prefix(2);
  for (std::string_view part : SplitComponents(rest)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      name.refusal = kDotDot;
      return name;
    }
    if (part.size() > kMaxComponentBytes) {
      name.refusal = kTooLong;
      return name;
    }
    name.parts.emplace_back(part);
  }
  if (name.parts.empty()) {
    name.refusal = kEmpty;
    name.empty = true;
  } else if (flatten && name.parts.size() > 1) {
    name.parts.erase(name.parts.begin(), name.parts.end() - 1);
  }
  return name;
}

std::string_view SymlinkTargetRefusal(std::string_view target, size_t linkDepth) {
  if (target.empty() || IsSeparator(target[0]) || HasDrive(target)) return kLinkOutside;
  // Walk the target lexically from the link's folder. A ".." after a
  // component that may itself be a link could climb out in the kernel's
  // reading even when the lexical walk stays inside, so it is refused too.
  size_t depth = linkDepth;
  bool descended = false;
  for (std::string_view part : SplitComponents(target)) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (depth == 0 || descended) return kLinkOutside;
      --depth;
    } else {
      ++depth;
      descended = true;
    }
  }
  return {};
}

std::string MemberIdentity(std::string_view bytes) {
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i < bytes.size() && bytes[i] != '/') continue;
    const std::string_view part = bytes.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    if (!out.empty()) out += '/';
    out += part;
  }
  return out;
}

std::string NumberedName(std::string_view leaf, int n) {
  const size_t dot = leaf.rfind('.');
  const size_t stem = dot == std::string_view::npos || dot == 0 ? leaf.size() : dot;
  std::string out(leaf.substr(0, stem));
  out += " (" + std::to_string(n) + ")";
  out += leaf.substr(stem);
  return out;
}

std::string SymlinkTargetText(std::string_view target) {
  std::string out(target);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

}  // namespace rkarc
