// RAR volume sets; see RarVolumes.h.
#include "archivers/unrar32/RarVolumes.h"

#include <cerrno>

#include "archivers/common/AsciiCase.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/common/SafeWriter.h"

namespace rkarc::rar {
namespace {

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }
std::string Printable(const std::string& path) { return SafeWriter::PrintableName(FileName(path), NameCharset::Utf8); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

// The member that ends a volume goes on in the next one.
bool LastContinues(const RarHeaders& headers) { return !headers.files.empty() && headers.files.back().splitAfter; }

}  // namespace

VolumeNaming::VolumeNaming(const std::string& path, bool partNaming) : m_path(path) {
  const std::string name = AsciiLower(FileName(path));
  const std::string stemOf = path.substr(0, path.size() - std::min<size_t>(4, path.size()));
  const bool rarOrExe = name.size() > 4 && (name.ends_with(".rar") || name.ends_with(".exe"));
  if (partNaming && rarOrExe) {
    size_t digits = 0;
    while (digits + 4 < name.size() && IsDigit(name[name.size() - 5 - digits])) ++digits;
    const std::string_view before = std::string_view(name).substr(0, name.size() - 4 - digits);
    if (digits > 0 && digits <= 9 && before.ends_with(".part")) {
      m_digits = digits;
      m_stem = path.substr(0, path.size() - 4 - digits);
      m_upper = IsUpper(m_stem.back());
      m_suffix = name.ends_with(".rar") ? path.substr(path.size() - 4) : (m_upper ? ".RAR" : ".rar");
      m_number = std::stoi(name.substr(name.size() - 4 - digits, digits));
      return;
    }
  }
  if (rarOrExe) {
    m_stem = stemOf;
    m_upper = IsUpper(path[path.size() - 3]);
    m_number = 1;
  } else if (name.size() > 4 && name[name.size() - 4] == '.' && name[name.size() - 3] >= 'r' &&
             name[name.size() - 3] <= 'z' && IsDigit(name[name.size() - 2]) && IsDigit(name.back())) {
    m_stem = stemOf;
    m_upper = IsUpper(path[path.size() - 3]);
    m_number = (name[name.size() - 3] - 'r') * 100 + std::stoi(name.substr(name.size() - 2)) + 2;
  }
}

std::string VolumeNaming::path(int number) const {
  if (number == m_number) return m_path;
  if (m_stem.empty() || number < 1) return {};
  if (m_digits > 0) {
    std::string digits = std::to_string(number);
    if (digits.size() < m_digits) digits.insert(0, m_digits - digits.size(), '0');
    return m_stem + digits + m_suffix;
  }
  if (number == 1) return m_stem + (m_upper ? ".RAR" : ".rar");
  const int letter = 'r' + (number - 2) / 100;
  if (letter > 'z') return {};
  const int rest = (number - 2) % 100;
  return m_stem + '.' + static_cast<char>(m_upper ? letter - 'a' + 'A' : letter) + static_cast<char>('0' + rest / 10) +
         static_cast<char>('0' + rest % 10);
}

VolumeSet::VolumeSet(const std::string& path, const RarHeaders& headers)
    : m_headers(headers) {
  if (!headers.volume) return;
  const VolumeNaming naming(path, headers.partNaming);
  // Sets made before RAR 3.0 mark no volume as the first: the name and a
  // member continued from before tell then.
  const bool later = headers.volumeNumber > 0 ||
                     (headers.volumeNumber < 0 && (naming.number() > 1 ||
                                                   (!headers.files.empty() && headers.files.front().splitBefore)));
  if (later) {
    const std::string first = naming.path(1);
    fail(kErrMultiVolume, first.empty() ? "分割書庫の途中の巻です。最初の巻から解凍してください"
                                        : "分割書庫の途中の巻です。最初の巻 " + Printable(first) + " から解凍してください");
    return;
  }
  collect(naming, headers.moreVolumes || LastContinues(headers));
}

void VolumeSet::collect(const VolumeNaming& naming, bool more) {
  for (int number = 2; more; ++number) {
    Volume volume;
    volume.path = naming.path(number);
    if (volume.path.empty()) return fail(kErrMultiVolume, "分割書庫の次の巻の名前が分かりません");
    volume.file = std::make_unique<InputFile>(volume.path);
    if (!volume.file->ok()) {
      const int error = volume.file->error();
      return fail(kErrMultiVolume,
                  (error == ENOENT ? "分割書庫の巻がありません: " : "分割書庫の巻を開けません: ") + Printable(volume.path));
    }
    const auto start = FindRar(*volume.file);
    if (start) volume.headers = RarHeaders::Read(*volume.file, *start);
    const int expected = number - 1;
    if (!start || !volume.headers.volume || volume.headers.volumeNumber == 0 ||
        (volume.headers.volumeNumber > 0 && volume.headers.volumeNumber != expected))
      return fail(kErrMultiVolume, Printable(volume.path) + " はこの分割書庫の続きの巻ではありません");
    volume.start = *start;
    more = volume.headers.moreVolumes || LastContinues(volume.headers);
    addLater(std::move(volume));
  }
}

void VolumeSet::addLater(Volume volume) {
  for (const RarFile& file : volume.headers.files) {
    if (!file.splitBefore) {
      m_headers.files.push_back(file);
    } else if (!m_headers.files.empty()) {  // a continued member: its last part holds the whole file's CRC
      m_headers.files.back().crc = file.crc;
      m_headers.files.back().spans = true;
    }
  }
  if (m_headers.damage.empty() && !volume.headers.damage.empty())
    m_headers.damage = Printable(volume.path) + ": " + volume.headers.damage;
  m_headers.endSeen = volume.headers.endSeen;
  m_later.push_back(std::move(volume));
}

void VolumeSet::fail(int32_t code, std::string problem) {
  m_failure = code;
  m_problem = std::move(problem);
}

}  // namespace rkarc::rar
