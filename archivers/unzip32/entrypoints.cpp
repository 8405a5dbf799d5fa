// UNZIP32.DLL's C entry points (prefix UnZip); the work is in ZipReader.
#include "archivers/common/Module.h"
#include "archivers/common/Passwords.h"
#include "archivers/unzip32/ZipReader.h"

RKARC_MODULE_ENTRY_POINTS(UnZip, 100, rkarc::zip::Extract, rkarc::zip::CanExtract)
RKARC_MODULE_PASSWORD_ENTRY_POINT(UnZip)
