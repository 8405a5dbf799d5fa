// The safe writer's public side: checks each member's name and type and
// places folders, links and files through WriterState; see SafeWriter.h.
#include "archivers/common/SafeWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <utility>

#include "archivers/common/MemberSinkImpl.h"
#include "archivers/common/SafeName.h"
#include "archivers/common/WriterState.h"

namespace rkarc {
namespace {

using State = SafeWriter::State;

// A member that passed the name checks, with its folder open.
struct Placement {
  SafeName name;
  std::string key;
  std::string display;
  std::string identity;  // MemberIdentity of the name bytes
  UniqueFd folder;
};

mode_t FileMode(uint32_t stored) { return (stored & 0777) != 0 ? (stored & 0777) : 0666; }

// Checks the member's name; the folder is opened separately, so that a member
// refused for another reason leaves no folders behind.
std::optional<Placement> CheckName(State& s, const Member& m) {
  Placement p;
  p.display = DecodeMemberName(m.name, m.charset);
  p.name = MakeSafeName(m.name, m.charset, s.options.flatten);
  if (!p.name.ok()) {
    s.fail(p.display, kErrUnsafeName, p.name.refusal);
    return std::nullopt;
  }
  p.key = p.name.path();
  p.identity = MemberIdentity(m.name);
  if (s.root.size() + 1 + p.key.size() > kMaxPathBytes) {
    s.fail(p.display, kErrUnsafeName, "パスが長すぎます");
    return std::nullopt;
  }
  return p;
}

bool OpenFolder(State& s, Placement& p) {
  WriteFailure why;
  p.folder = s.walker.open(p.name.parts, p.name.parts.size() - 1, true, why);
  if (!p.folder.valid()) s.fail(p.display, why);
  return p.folder.valid();
}

std::optional<Placement> Prepare(State& s, const Member& m) {
  auto p = CheckName(s, m);
  if (!p || !OpenFolder(s, *p)) return std::nullopt;
  return p;
}

// The member takes `leaf` in its folder instead of its own last component.
void Rename(Placement& p, std::string leaf) {
  p.name.parts.back() = std::move(leaf);
  p.key = p.name.path();
}

// Members whose names differ in the archive can meet on disk (bytes that
// decode alike, a control character and '_', a backslash and '/'): the
// later one takes a free numbered name and the report says so, since
// replacing would lose the earlier one unseen. A later member of the same name replaces the
// earlier wherever that went, as in tar. False when no name is free.
bool AvoidCollision(State& s, Placement& p) {
  if (const auto went = s.keyOf.find(p.identity); went != s.keyOf.end()) {
    if (went->second != p.key) Rename(p, FolderWalker::Split(went->second).back());
    return true;
  }
  const auto earlier = s.made.find(p.key);
  if (earlier == s.made.end() || earlier->second.identity == p.identity) return true;
  const std::string leaf = p.name.parts.back();
  for (int n = 2; n < 1000; ++n) {
    const std::string numbered = NumberedName(leaf, n);
    if (numbered.size() > kMaxComponentBytes) break;
    struct stat st {};
    if (s.made.contains(p.name.folder().empty() ? numbered : p.name.folder() + "/" + numbered) ||
        fstatat(p.folder.get(), numbered.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
      continue;
    Rename(p, numbered);
    s.report.note(p.display + ": 別のファイルと同じ名前になるため「" + numbered + "」として書き出しました");
    if (!std::exchange(s.collisionKept, true)) s.report.keep("同じ名前になるファイルを別の名前で書き出しました");
    return true;
  }
  s.fail(p.display, kErrWrite, "別のファイルと同じ名前になり、空いている名前もありません");
  return false;
}

void PlaceDirectory(State& s, const Member& m) {
  // "./" and the like name the output folder itself, which exists already.
  if (MakeSafeName(m.name, m.charset, false).empty) return;
  auto p = Prepare(s, m);
  if (!p) return;
  WriteFailure why;
  const mode_t mode = (m.mode & 0777) != 0 ? (m.mode & 0777) : 0777;
  if (!s.walker.makeFolder(p->folder.get(), p->name.parts.back(), p->key, mode, why).valid()) s.fail(p->display, why);
}

// Places a link made by `create(temporaryName)` under the member's name.
void PlaceLink(State& s, Placement& p, const std::function<bool(int, const std::string&)>& create) {
  if (!AvoidCollision(s, p)) return;
  const std::string& leaf = p.name.parts.back();
  const auto existing = s.checkExisting(p.folder.get(), leaf, p.key, p.display);
  if (existing == State::Existing::Keep || existing == State::Existing::Refused) return;
  const int folder = p.folder.get();
  const std::string temporary =
      s.createTemporary([&](const std::string& name) { return create(folder, name); }, p.display);
  if (temporary.empty()) return;
  struct stat st {};
  const bool statted = fstatat(folder, temporary.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!s.place(folder, temporary, leaf, existing == State::Existing::Replace, p.display)) return;
  // Renaming onto another name of the same file does nothing and leaves the temporary name.
  unlinkat(folder, temporary.c_str(), 0);
  if (statted) s.remember(p.key, p.identity, st);
}

void PlaceSymlink(State& s, const Member& m) {
  auto p = CheckName(s, m);
  if (!p) return;
  const std::string target = SymlinkTargetText(DecodeMemberName(m.linkTarget, m.charset));
  const auto refusal = SymlinkTargetRefusal(target, p->name.parts.size() - 1);
  if (!refusal.empty()) {
    s.fail(p->display, kErrUnsafeType, refusal);
    return;
  }
  if (!OpenFolder(s, *p)) return;
  PlaceLink(s, *p, [&](int folder, const std::string& name) {
    return symlinkat(target.c_str(), folder, name.c_str()) == 0;
  });
}

void PlaceHardlink(State& s, const Member& m) {
  auto p = CheckName(s, m);
  if (!p) return;
  constexpr std::string_view kNotOurs = "リンク先がこの解凍で作ったファイルではありません";
  SafeName target = MakeSafeName(m.linkTarget, m.charset, s.options.flatten);
  if (!target.ok()) {
    s.fail(p->display, kErrUnsafeType, kNotOurs);
    return;
  }
  // The target may have been written under a numbered name.
  if (const auto went = s.keyOf.find(MemberIdentity(m.linkTarget)); went != s.keyOf.end())
    target.parts = FolderWalker::Split(went->second);
  WriteFailure why;
  UniqueFd targetFolder = s.walker.open(target.parts, target.parts.size() - 1, false, why);
  struct stat st {};
  if (!targetFolder.valid() ||
      fstatat(targetFolder.get(), target.parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !s.madeRegularFile(target.path(), st)) {
    s.fail(p->display, kErrUnsafeType, kNotOurs);
    return;
  }
  if (!OpenFolder(s, *p)) return;
  const std::string& targetLeaf = target.parts.back();
  PlaceLink(s, *p, [&](int folder, const std::string& name) {
    return linkat(targetFolder.get(), targetLeaf.c_str(), folder, name.c_str(), 0) == 0;
  });
}

std::unique_ptr<MemberSink> BeginFile(State& s, const Member& m) {
  auto p = Prepare(s, m);
  if (!p || !AvoidCollision(s, *p)) return nullptr;
  const std::string leaf = p->name.parts.back();
  const auto existing = s.checkExisting(p->folder.get(), leaf, p->key, p->display);
  if (existing == State::Existing::Keep || existing == State::Existing::Refused) return nullptr;
  const bool replace = existing == State::Existing::Replace;
  // A new file is written without a name and linked in when whole: nothing of
  // it is left behind even when the process dies midway. Replacing needs the
  // rename of a named temporary file.
  int err = 0;
  NewFile file = NewFile::Create(p->folder.get(), FileMode(m.mode), replace, s.unnamedFiles, err);
  if (!file.valid()) {
    s.failErrno(p->display, err);
    return nullptr;
  }
  MemberSinkImpl::Target target{std::move(p->folder), leaf, p->key, std::move(file), replace, m.mtime, p->display,
                                p->identity};
  return std::make_unique<MemberSink>(std::make_unique<MemberSinkImpl>(s, std::move(target)));
}

}  // namespace

SafeWriter::SafeWriter(const std::string& outputFolder, Options options, Report& report)
    : m_state(std::make_unique<State>(outputFolder, options, report)) {
  if (!m_state->walker.ok()) {
    const int err = m_state->walker.openError();
    if (err == ENOENT || err == ENOTDIR || err == ELOOP) {
      m_state->fail(DecodeMemberName(outputFolder, NameCharset::Auto), kErrOutputFolder, "解凍先フォルダがありません");
    } else {
      m_state->failErrno(DecodeMemberName(outputFolder, NameCharset::Auto), err);
    }
  }
}

SafeWriter::~SafeWriter() {
  for (MemberSinkImpl* sink : std::set<MemberSinkImpl*>(m_state->liveSinks)) sink->detach();
  // A failed archive leaves no folder of its own that is still empty: one
  // made for a damaged or refused record would only carry a junk name. The
  // folder members stay, as they would without that failure.
  if (IsFailure(m_state->failure)) m_state->walker.removeMadeFolders(true);
  m_state->walker.applyFolderModes();
}

bool SafeWriter::ready() const { return m_state->walker.ok(); }

std::unique_ptr<MemberSink> SafeWriter::begin(const Member& member) {
  if (m_state->stop || !ready()) return nullptr;
  switch (member.type) {
    case MemberType::File:
      return BeginFile(*m_state, member);
    case MemberType::Directory:
      if (!m_state->options.flatten) PlaceDirectory(*m_state, member);
      return nullptr;
    case MemberType::Symlink:
      PlaceSymlink(*m_state, member);
      return nullptr;
    case MemberType::Hardlink:
      PlaceHardlink(*m_state, member);
      return nullptr;
    case MemberType::Other:
      break;
  }
  m_state->fail(DecodeMemberName(member.name, member.charset), kErrUnsafeType,
                "デバイスやFIFOなどの特殊ファイルは作りません");
  return nullptr;
}

void SafeWriter::fail(const Member& member, int32_t code, std::string_view reason) {
  m_state->fail(DecodeMemberName(member.name, member.charset), code, reason);
}

void SafeWriter::failArchive(int32_t code, std::string_view reason) { m_state->fail({}, code, reason); }

bool SafeWriter::stopped() const { return m_state->stop; }

size_t SafeWriter::rollBack() {
  State& s = *m_state;
  size_t removed = 0;
  s.walker.forgetCached();
  for (const auto& [key, made] : s.made) {
    const std::vector<std::string> parts = FolderWalker::Split(key);
    WriteFailure why;
    UniqueFd folder = s.walker.open(parts, parts.size() - 1, false, why);
    struct stat st {};
    // Only the very entry placed here: whatever took its name since is left alone.
    if (!folder.valid() || fstatat(folder.get(), parts.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        st.st_dev != made.dev || st.st_ino != made.ino)
      continue;
    if (unlinkat(folder.get(), parts.back().c_str(), 0) == 0) ++removed;
  }
  s.made.clear();
  s.keyOf.clear();
  s.walker.removeMadeFolders();
  return removed;
}

int32_t SafeWriter::result() const {
  if (m_state->failure != 0) return m_state->failure;
  return static_cast<int32_t>(std::min<uint32_t>(m_state->kept, kMaxSkipped));
}

std::string SafeWriter::SafeRelativePath(std::string_view name, NameCharset charset) {
  const SafeName safe = MakeSafeName(name, charset, false);
  return safe.ok() ? safe.path() : std::string();
}

std::string SafeWriter::PrintableName(std::string_view name, NameCharset charset) {
  return DecodeMemberName(name, charset);
}

}  // namespace rkarc
