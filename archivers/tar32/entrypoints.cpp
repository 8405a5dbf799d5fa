// TAR32.DLL's C entry points (prefix Tar); the work is in TarReader.
#include "archivers/common/Module.h"
#include "archivers/tar32/TarReader.h"

RKARC_MODULE_ENTRY_POINTS(Tar, 100, rkarc::tar::Extract, rkarc::tar::CanExtract)
