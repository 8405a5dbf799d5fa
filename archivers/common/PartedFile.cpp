// Reading a split file as one; see PartedFile.h.
#include "archivers/common/PartedFile.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>

#include "archivers/common/RegularFile.h"
#include "archivers/common/Report.h"
#include "archivers/common/ResultCodes.h"

namespace rkarc {
namespace {

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// A split file's first part: "stem." and a number of `width` digits that is 1.
struct SplitName {
  std::string stem;  // with the dot
  size_t width = 0;  // 0: not a first part

  explicit SplitName(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return;
    const std::string digits = path.substr(dot + 1);
    if (digits.size() < 3 || digits.size() > 6 || !AllDigits(digits) ||
        std::stoi(digits) != 1)
      return;
    stem = path.substr(0, dot + 1);
    width = digits.size();
  }
  std::string part(int number) const {
    std::string digits = std::to_string(number);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return stem + digits;
  }
  // The number a file name of the folder gives as a part of this set, or 0.
  int numberOf(const std::string& name) const {
    const std::string base = stem.substr(stem.rfind('/') + 1);
    if (name.size() != base.size() + width || name.compare(0, base.size(), base) != 0) return 0;
    const std::string digits = name.substr(base.size());
    return AllDigits(digits) ? std::stoi(digits) : 0;
  }
};

// True when the folder holds a part numbered above `after`.
bool LaterPartExists(const SplitName& name, int after) {
  const size_t slash = name.stem.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : name.stem.substr(0, slash + 1);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get()))
    if (name.numberOf(entry->d_name) > after) return true;
  return false;
}

}  // namespace

bool PartedFile::add(const std::string& path) {
  RegularFile file = OpenRegularFile(path);
  if (!file.fd.valid()) {
    m_error = file.error;
    m_failedPath = path;
    return false;
  }
  m_parts.push_back({std::move(file.fd), m_size, file.size});
  m_paths.push_back(path);
  m_size += file.size;
  return true;
}

bool PartedFile::open(const std::string& path) {
  if (!add(path)) return false;
  const SplitName name(path);
  if (name.width == 0) return true;
  constexpr int kMostParts = 9999;
  for (int number = 2; number <= kMostParts; ++number) {
    const std::string next = name.part(number);
    if (add(next)) continue;
    if (m_error != ENOENT) return false;
    m_error = 0;
    m_failedPath.clear();
    m_next = next;
    if (LaterPartExists(name, number)) m_missing = next;
    break;
  }
  return true;
}

void PartedFile::adopt(UniqueFd fd, uint64_t size) {
  m_parts.clear();
  m_parts.push_back({std::move(fd), 0, size});
  m_size = size;
}

int64_t PartedFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  if (m_parts.size() == 1) return ReadAt(m_parts.front().fd.get(), offset, buffer, n);
  auto* to = static_cast<char*>(buffer);
  size_t done = 0;
  for (const Part& part : m_parts) {
    if (done == n) break;
    const uint64_t at = offset + done;
    if (at >= part.start + part.size) continue;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(n - done, part.start + part.size - at));
    const int64_t got = ReadAt(part.fd.get(), at - part.start, to + done, want);
    if (got < 0) return -1;
    done += static_cast<size_t>(got);
    if (static_cast<size_t>(got) < want) break;  // the part shrank meanwhile
  }
  return static_cast<int64_t>(done);
}

int32_t ReportParts(const PartedFile& file, Report& report) {
  if (!file.missing().empty()) {
    report.fail("分割書庫の巻がありません: " + FileNameOf(file.missing()));
    return kErrMultiVolume;
  }
  ReportVolumes(file.paths(), report);
  return 0;
}

int32_t ReportNextPartMissing(const PartedFile& file, Report& report) {
  if (file.next().empty()) return 0;
  report.fail("分割書庫の巻がありません: " + FileNameOf(file.next()));
  return kErrMultiVolume;
}

void ReportVolumes(const std::vector<std::string>& paths, Report& report) {
  if (paths.size() < 2) return;
  report.lead("volumes", std::to_string(paths.size()));
  for (size_t i = 1; i < paths.size(); ++i) {
    const std::string name = FileNameOf(paths[i]);
    if (name.find_first_of("\t\n\r") == std::string::npos) report.lead("volume", name);
  }
}

}  // namespace rkarc
