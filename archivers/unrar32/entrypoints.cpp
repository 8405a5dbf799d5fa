// UNRAR32.DLL's C entry points (prefix Unrar); the work is in RarReader.
#include "archivers/common/Module.h"
#include "archivers/unrar32/RarReader.h"

RKARC_MODULE_ENTRY_POINTS(Unrar, 100, rkarc::rar::Extract, rkarc::rar::CanExtract)
