// The entry points of CAB32.DLL (C linkage, UTF-8 strings), as the program
// loads them with dlopen: Cab, CabCheckArchive, CabGetRunning, CabGetVersion
// and CabSetProgress.
#include <cstdint>

#include "archivers/cab32/CabExtraction.h"
#include "archivers/cab32/CabReader.h"
#include "archivers/common/ExtractRequest.h"
#include "archivers/common/Module.h"
#include "archivers/common/ResultCodes.h"

namespace {

// The default option text is "-x -n"; letters in either case.
using enum rkarc::OptionEffect;
constexpr rkarc::OptionRule kLetters[] = {{"x", WithFolders}, {"e", Flatten}, {"n", KeepExisting}, {"o", Overwrite}};
constexpr rkarc::CommandSyntax kSyntax{.mark = '-', .letters = kLetters, .lettersIgnoreCase = true};

int32_t Extract(rkarc::ExtractRequest& request, rkarc::Report& report, rkarc::Progress& progress) {
  return rkarc::CabExtraction(request, report, &progress).run();
}

// Only a file that holds a complete, well-formed cabinet: this is how the
// program asks whether an .EXE is a self-extracting cabinet.
bool CanExtract(const std::string& path) {
  rkarc::CabReader reader;
  return !reader.open(path, false);
}

}  // namespace

RKARC_EXTRACT_MODULE_ENTRY_POINTS(Cab, 100, kSyntax, Extract, CanExtract)
