// The volumes of a RAR volume set: how they are named (name.part1.rar,
// name.part01.rar ... with any number of digits, or the older name.rar,
// name.r00 ... name.r99, name.s00 ...), and the set that follows a first
// volume, each volume opened and its headers walked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archivers/libarchive/InputFile.h"
#include "archivers/unrar32/RarHeaders.h"
#include "archivers/unrar32/RarLocator.h"

namespace rkarc::rar {

class VolumeNaming {
 public:
  // `partNaming`: the archive says its volumes are named name.partN.rar;
  // the file name must then have that form too, or the older naming is used.
  VolumeNaming(const std::string& path, bool partNaming);

  // The number (1 for the first) that the file name gives, 0 when it gives none.
  int number() const { return m_number; }
  // The path of volume `number` (from 1); empty past the last name the scheme has.
  std::string path(int number) const;

 private:
  std::string m_path;
  std::string m_stem;    // everything before the number (".part" included) or the extension
  std::string m_suffix;  // after the number: ".rar" in the case of the name
  size_t m_digits = 0;   // 0: the older naming
  bool m_upper = false;
  int m_number = 0;
};

struct Volume {
  std::string path;
  std::unique_ptr<InputFile> file;
  RarStart start{};
  RarHeaders headers;
};

class VolumeSet {
 public:
  // The set that begins with the archive at `path`, whose headers are walked.
  // A plain archive is a set of one. failure() is non-zero when the archive
  // is a later volume of its set or a volume the set needs is missing or unfit;
  // problem() then names the file.
  VolumeSet(const std::string& path, const RarHeaders& headers);

  int32_t failure() const { return m_failure; }
  const std::string& problem() const { return m_problem; }
  // The volumes after the first, in order.
  const std::vector<Volume>& later() const { return m_later; }
  // The file headers of the whole set as libarchive returns them: a member
  // continued in the next volume counts once. Damage of any volume is kept.
  const RarHeaders& headers() const { return m_headers; }

 private:
  // Opens the volumes after the first while the one before says another follows.
  void collect(const VolumeNaming& naming, bool more);
  void addLater(Volume volume);
  void fail(int32_t code, std::string problem);

  std::vector<Volume> m_later;
  RarHeaders m_headers;
  int32_t m_failure = 0;
  std::string m_problem;
};

}  // namespace rkarc::rar
