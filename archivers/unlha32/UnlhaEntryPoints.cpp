// The C entry points of UNLHA32.DLL: Unlha (run a command), UnlhaCheckArchive,
// UnlhaGetRunning, UnlhaGetVersion and UnlhaSetProgress.
#include <cstdint>

#include "archivers/common/ArchiveFile.h"
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/unlha32/ArchiveLocator.h"
#include "archivers/unlha32/LzhExtractor.h"

namespace {

// The default option text is "x -+": extract with folders, never ask (which this
// module never does anyway).
using enum rkarc::OptionEffect;
constexpr rkarc::OptionRule kLetters[] = {{"x", WithFolders}, {"e", Flatten}, {"o", Overwrite}, {"+", None}};
constexpr rkarc::CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .lettersIgnoreCase = true};

int32_t Extract(rkarc::ExtractRequest& request, rkarc::Report& report, rkarc::Progress& progress) {
  rkarc::LzhExtractor extractor(request, report);
  uint64_t size = 0;
  const int32_t result = extractor.run([&](uint64_t done, uint64_t total) {
    size = total;
    progress.update(done, total);
  });
  progress.finish(size);
  return result;
}

bool CanExtract(const std::string& path) {
  rkarc::ArchiveFile file;
  if (!file.open(path)) return false;
  const auto location = rkarc::ArchiveLocator(file).find();
  return location && location->firstHeaderValid;
}

}  // namespace

RKARC_EXTRACT_MODULE_ENTRY_POINTS(Unlha, 100, kSyntax, Extract, CanExtract)
