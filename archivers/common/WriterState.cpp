// Shared steps of the safe writer; see WriterState.h.
#include "archivers/common/WriterState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "archivers/common/NewFile.h"

namespace rkarc {
namespace {

std::string TrimTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

SafeWriter::State::State(const std::string& rootPath, Options writerOptions, Report& writerReport)
    : root(TrimTrailingSlashes(rootPath)),
      options(writerOptions),
      report(writerReport),
      walker(rootPath),
      unnamedFiles(NewFile::UnnamedPossible()) {}

SafeWriter::State::Existing SafeWriter::State::checkExisting(int folder, const std::string& leaf,
                                                             const std::string& key, std::string_view display) {
  struct stat st {};
  if (fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return Existing::None;
    failErrno(display, errno);
    return Existing::Refused;
  }
  if (S_ISDIR(st.st_mode)) {
    fail(display, kErrWrite, "同じ名前のフォルダがあります");
    return Existing::Refused;
  }
  const auto it = made.find(key);
  if (it != made.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino) return Existing::Replace;
  if (options.overwrite) return Existing::Replace;
  keep(display);
  return Existing::Keep;
}

std::string SafeWriter::State::createTemporary(const std::function<bool(const std::string&)>& create,
                                               std::string_view display) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string name = TemporaryName();
    if (create(name)) return name;
    if (errno != EEXIST) {
      failErrno(display, errno);
      return {};
    }
  }
  fail(display, kErrWrite, "一時ファイルを作れません");
  return {};
}

bool SafeWriter::State::place(int folder, const std::string& temporary, const std::string& leaf, bool replace,
                              std::string_view display) {
  const int err = RenameInto(folder, temporary, leaf, replace);
  if (err == 0) return true;
  unlinkat(folder, temporary.c_str(), 0);
  placementFailed(display, err, replace);
  return false;
}

void SafeWriter::State::placementFailed(std::string_view display, int err, bool replace) {
  if (err == EEXIST && !replace) {
    keep(display);
  } else {
    failErrno(display, err);
  }
}

void SafeWriter::State::remember(const std::string& key, const std::string& identity, const struct stat& st) {
  made[key] = Made{st.st_dev, st.st_ino, S_ISREG(st.st_mode), identity};
  keyOf[identity] = key;
}

bool SafeWriter::State::madeRegularFile(const std::string& key, const struct stat& st) const {
  const auto it = made.find(key);
  return it != made.end() && it->second.regular && S_ISREG(st.st_mode) && it->second.dev == st.st_dev &&
         it->second.ino == st.st_ino;
}

void SafeWriter::State::fail(std::string_view display, int32_t code, std::string_view reason) {
  // A full disk or an unwritable destination is what the host acts on, so it
  // wins over an earlier member's failure.
  const WriteFailure failureOf{code, {}};
  const bool decides = failure == 0 || (failureOf.stopsRun() && !WriteFailure{failure, {}}.stopsRun());
  if (decides) failure = code;
  if (failureOf.stopsRun()) stop = true;
  std::string line;
  if (!display.empty()) {
    line.append(display);
    line += ": ";
  }
  line.append(reason);
  report.fail(line, decides);
}

void SafeWriter::State::fail(std::string_view display, const WriteFailure& failureInfo) {
  fail(display, failureInfo.code, failureInfo.reason);
}

void SafeWriter::State::keep(std::string_view display) {
  ++kept;
  std::string line(display);
  line += ": 既にあるため残しました";
  report.add(line);
}

}  // namespace rkarc
