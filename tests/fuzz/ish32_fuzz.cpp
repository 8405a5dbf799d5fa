// libFuzzer target of the ISH reader: the input is written to a text file and
// decoded through the safe writer into a fresh output folder. Aborts when the
// sentinel beside the output folder changes or anything but plain files and
// folders appears, inside the output folder or outside it.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archivers/common/Report.h"
#include "archivers/common/SafeWriter.h"
#include "archivers/ish32/IshExtractor.h"
#include "archivers/ish32/IshReader.h"

namespace {

namespace fs = std::filesystem;

constexpr char kSentinel[] = "sentinel";

const fs::path& WorkFolder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "ish32-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return fs::path(pattern);
  }();
  return folder;
}

void WriteFile(const fs::path& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) std::abort();
}

// Everything under the work folder is the input, the sentinel, or a plain
// file or folder inside the output folder.
void CheckWorkFolder(const fs::path& work) {
  std::ifstream sentinel(work / "sentinel.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(sentinel)), std::istreambuf_iterator<char>());
  if (text != kSentinel) std::abort();
  for (const auto& entry : fs::directory_iterator(work)) {
    const std::string name = entry.path().filename().string();
    if (name != "in.ish" && name != "sentinel.txt" && name != "out") std::abort();
  }
  for (const auto& entry : fs::recursive_directory_iterator(work / "out")) {
    const auto status = entry.symlink_status();
    if (!fs::is_regular_file(status) && !fs::is_directory(status)) std::abort();
    if ((status.permissions() & (fs::perms::set_uid | fs::perms::set_gid)) != fs::perms::none) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& work = WorkFolder();
  fs::remove_all(work / "out");
  fs::create_directory(work / "out");
  WriteFile(work / "sentinel.txt", reinterpret_cast<const uint8_t*>(kSentinel), sizeof kSentinel - 1);
  const std::string input = (work / "in.ish").string();
  WriteFile(input, data, size);

  rkarc::IshReader::IsIshText(input);
  char buffer[4096];
  rkarc::Report report(buffer, sizeof buffer);
  {
    rkarc::SafeWriter writer((work / "out").string() + "/", {}, report);
    rkarc::IshExtractor target(writer, report, {});
    rkarc::IshReader reader(input, target);
    reader.run();
    writer.result();
  }
  CheckWorkFolder(work);
  return 0;
}
