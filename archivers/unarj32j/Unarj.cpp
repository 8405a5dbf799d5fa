// The C entry points of UNARJ32J.DLL (prefix Unarj), as the program loads them
// with dlopen. Strings are UTF-8; the report buffer is the caller's.
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"
#include "archivers/unarj32j/ArjArchive.h"
#include "archivers/unarj32j/ArjExtractor.h"

namespace {

// The letters, in either case; "+" (never ask) is part of the default option text
// "x -+" and how this module always works.
using enum rkarc::OptionEffect;
constexpr rkarc::OptionRule kLetters[] = {{"x", WithFolders}, {"e", Flatten}, {"o", Overwrite}, {"+", None}};
constexpr rkarc::CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .lettersIgnoreCase = true};

int32_t Extract(rkarc::ExtractRequest& request, rkarc::Report& report, rkarc::Progress& progress) {
  return rkarc::ArjExtractor(request, report, progress).run();
}

// Only when the whole archive can be walked: a valid main header (found
// behind a stub if need be), every member header valid and its data inside the file.
bool CanExtract(const std::string& path) {
  rkarc::ArjArchive archive;
  return archive.open(path) == rkarc::kOk && archive.walkAll();
}

}  // namespace

RKARC_EXTRACT_MODULE_ENTRY_POINTS(Unarj, 100, kSyntax, Extract, CanExtract)
