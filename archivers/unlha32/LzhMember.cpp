// LZH header to writer Member; see LzhMember.h.
#include "archivers/unlha32/LzhMember.h"

#include <vector>

#include "platform/Cp932.h"

namespace rkarc {
namespace {

std::string Join(const std::string& dir, const std::string& file) {
  if (dir.empty()) return file;
  if (dir.back() == '/' || file.empty()) return dir + file;
  return dir + "/" + file;
}

// Used only when a UTF-16 field is mixed with a byte field: the byte field is
// decoded here so that the whole name can be handed on as UTF-8.
std::string DecodeToUtf8(const std::string& bytes, NameCharset charset) {
  if (charset != NameCharset::Cp932 && cp932::IsValidUtf8(bytes)) return bytes;
  return cp932::ToUtf8(bytes);
}

bool IsCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// MS-DOS, OS/2 and Human68k archivers stored names in capitals only; such names are shown in
// small letters, as LZH tools on other systems have always done. Trail bytes
// of CP932 characters can be ASCII letters and are never touched.
void FoldAllCapitals(std::string& name, bool cp932) {
  std::vector<size_t> letters;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (cp932 && IsCp932Lead(c)) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      return;
    } else if (c >= 'A' && c <= 'Z') {
      letters.push_back(i);
    }
  }
  for (size_t i : letters) name[i] = static_cast<char>(name[i] - 'A' + 'a');
}

bool IsCp932Text(const std::string& name, NameCharset charset) {
  return charset == NameCharset::Cp932 || (charset == NameCharset::Auto && !cp932::IsValidUtf8(name));
}

// True when the last character is a folder separator; the 0x5C that ends a
// CP932 character such as ソ is not one.
bool EndsWithSeparator(const std::string& name, bool cp932) {
  if (name.empty() || (name.back() != '/' && name.back() != '\\')) return false;
  if (name.back() == '/' || !cp932) return true;
  size_t i = 0;
  while (i + 1 < name.size()) i += IsCp932Lead(static_cast<unsigned char>(name[i])) ? 2 : 1;
  return i == name.size() - 1;
}

// Some writers separate folders with 0xFF in the name field too, as in the
// directory header; the byte never occurs inside CP932 or UTF-8 text.
std::string WithSlashes(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) == 0xFF) c = '/';
  return name;
}

}  // namespace

NameCharset LzhMember::CharsetOf(const LzhHeader& header) {
  if (header.codePage) {
    if (*header.codePage == 65001) return NameCharset::Utf8;
    if (*header.codePage == 932) return NameCharset::Cp932;
    return NameCharset::Auto;
  }
  switch (header.osId) {
    case 0:    // no system named: MS-DOS era level-0 headers, Java writers
    case 'M':  // MS-DOS
    case 'w':  // Windows 95
    case 'W':  // Windows NT
    case '2':  // OS/2
    case 'H':  // Human68k (X68000)
    case 'T':  // TownsOS
    case 'm':  // Macintosh
      return NameCharset::Cp932;
    default:
      return NameCharset::Auto;
  }
}

bool LzhMember::Make(const LzhHeader& header, Member& out, std::string& reason) {
  out = Member{};
  const NameCharset charset = CharsetOf(header);
  if (header.utf16FileName || header.utf16DirName) {
    const std::string dir = header.utf16DirName ? *header.utf16DirName : DecodeToUtf8(header.dirName, charset);
    const std::string file =
        header.utf16FileName ? *header.utf16FileName : DecodeToUtf8(WithSlashes(header.fileName), charset);
    out.name = Join(dir, file);
    out.charset = NameCharset::Utf8;
  } else {
    // CP932 never uses '/' as a trail byte, so joining the raw bytes is safe.
    out.name = Join(header.dirName, WithSlashes(header.fileName));
    out.charset = charset;
    if (header.osId == 0 || header.osId == 'M' || header.osId == '2' || header.osId == 'H')
      FoldAllCapitals(out.name, IsCp932Text(out.name, charset));
  }
  out.size = header.originalSize;
  out.mode = header.unixMode ? (*header.unixMode & 07777u) : 0u;
  out.mtime = header.modificationTime();

  if (header.isSymlink()) {
    // Unix writers store a link as "name|target".
    out.type = MemberType::Symlink;
    const size_t bar = out.name.find('|');
    if (bar == std::string::npos) {
      reason = "リンク先のないシンボリックリンクです";
      return false;
    }
    out.linkTarget = out.name.substr(bar + 1);
    out.name.resize(bar);
    return true;
  }
  // Archivers before "-lhd-" stored a folder as an empty stored member with
  // the MS-DOS folder attribute or a name ending in a separator.
  const bool oldFolder = header.originalSize == 0 && header.compressedSize == 0 &&
                         ((header.dosAttributes & 0x10) != 0 ||
                          EndsWithSeparator(out.name, IsCp932Text(out.name, out.charset)));
  out.type = header.isDirectory() || oldFolder ? MemberType::Directory : MemberType::File;
  return true;
}

}  // namespace rkarc
