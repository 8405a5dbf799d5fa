// Member names and link targets turned into safe relative paths: decoding
// (UTF-8 or CP932), separators, drive letters, "." and "..", control
// characters and length limits. Pure text work; nothing here touches the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "archivers/common/SafeWriter.h"

namespace rkarc {

// Longest component and longest full path the writer creates.
inline constexpr size_t kMaxComponentBytes = 255;
inline constexpr size_t kMaxPathBytes = 4095;

struct SafeName {
  std::vector<std::string> parts;  // folders, then the last component
  std::string_view refusal;        // why the name is refused; empty when accepted
  bool empty = false;              // refused only for being empty ("", ".", "/"): the output folder itself

  bool ok() const { return refusal.empty(); }
  std::string path() const;    // every part joined with '/'
  std::string folder() const;  // the parts before the last, joined with '/'
};

// The name bytes as UTF-8 text, each control character replaced by '_'.
// Separators are left as they are.
std::string DecodeMemberName(std::string_view bytes, NameCharset charset);

// Decodes and checks a member name. With `flatten` only the last component is kept.
SafeName MakeSafeName(std::string_view bytes, NameCharset charset, bool flatten);

// Why a symbolic link placed `linkDepth` folders below the output folder may
// not point at `target` (decoded text); empty when the target stays inside.
std::string_view SymlinkTargetRefusal(std::string_view target, size_t linkDepth);

// The name bytes as they identify a member within its archive: split at '/'
// only, without empty and "." components ("./a//b" is "a/b"). Members of
// different identities are different files even where their safe names meet.
std::string MemberIdentity(std::string_view bytes);

// `leaf` numbered as the `n`th file of that name: "a.txt" gives "a (2).txt".
std::string NumberedName(std::string_view leaf, int n);

// The target as it is written to disk: '\\' separators become '/'.
std::string SymlinkTargetText(std::string_view target);

}  // namespace rkarc
